1=Anna
2=Ewa
x=bad
