#pragma once

// Names and descriptions of the controls for assistive technology (screen readers), in Polish,
// taken from what the learner sees, so that there is one source for both: a button or a check
// box is named by its text, else by its tooltip; a field, a list or a box by the label that
// stands before it (its buddy, else the nearest label on its left or just above it). The
// description is the tooltip where it says more than the name, else what the control is and
// how it is used from the keyboard. A name or description a window sets itself is kept; derived
// ones follow the texts each time the window shows.

#include <QString>

class QObject;
class QWidget;

namespace dyd::ui {

// Names and describes the controls of one window (and of the windows it holds).
void DescribeControls(QWidget* window);

// The name a clickable label has while it shows no text (a slot filled later).
void SetEmptyLabelName(QWidget* label, const QString& name);

// Describes the controls of every window of the program as the window shows, while owner lives,
// and marks the control that has the keyboard focus (focus_marks.h).
void DescribeControlsOnShow(QObject* owner);

}  // namespace dyd::ui
