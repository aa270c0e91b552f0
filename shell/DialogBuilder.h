#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

struct DialogTemplate;
class QString;
class QWidget;

// Turns a dialog template into Qt controls. Each control is a direct child of
// the dialog, keeps its identifier name as object name and its numeric id in
// the property "controlId", and is placed by its rectangle in dialog units.
//
// Dialog units come from the dialog's font at build time: x · average
// character width / 4, y · character height / 8. Set the dialog's font first.
class DialogBuilder {
public:
    static constexpr const char* kControlIdProperty = "controlId";

    // Creates every control of the template in the dialog and sizes the dialog
    // to the template. Radio buttons form one exclusive group from each button
    // marked first-in-group up to the next one. Group boxes stay beneath the
    // other controls and let clicks through, as frames drawn behind them.
    static void Build(const DialogTemplate& dialogTemplate, QWidget& dialog);

    // The first direct child of the dialog with that id; nullptr when none.
    static QWidget* FindControl(const QWidget& dialog, int id);

    static QSize DialogUnitsToPixels(const QFont& font, int cx, int cy);
    static QRect DialogRectToPixels(const QFont& font, int x, int y, int cx, int cy);

    // Gives the font to every control of the dialog (its direct children),
    // as each dialog does right after its initialisation. Placement stays.
    static void ApplyFont(QWidget& dialog, const QFont& font);

    // Sets what the user reads as the control's caption: a label's or
    // button's text, a group box title, an edit's or editable combo's text.
    // False for a control without a caption.
    static bool SetControlText(QWidget& control, const QString& text);
};
