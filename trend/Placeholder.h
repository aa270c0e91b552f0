#pragma once

class QWidget;

// Puts control where a dialog's placeholder control is: same parent, place,
// size, stacking, visibility, control id and identifier name; then deletes
// the placeholder. False, changing nothing, without a placeholder.
bool TakePlaceOf(QWidget& control, QWidget* placeholder);
