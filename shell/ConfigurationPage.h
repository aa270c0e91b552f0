#pragma once

#include "hart/HartProtocol.h"
#include "pages/PagePlan.h"
#include "shell/TemplatePage.h"

#include <string>

class QComboBox;
class QWidget;

// A page that reads and writes the transmitter: it runs what its decisions
// planned, shows a refusal with the focus on the input to correct, and finds
// its controls by id once.
class ConfigurationPage : public TemplatePage {
    Q_OBJECT
public:
    ConfigurationPage(int templateId, std::string section, DeviceRecord& device, QWidget* parent);
    ~ConfigurationPage() override;

protected:
    // The control of the page's template with that id, of the kind the page
    // expects; a missing control is a broken template and stops the program
    // at once rather than later at a click.
    template <typename T> T* Find(int id) const {
        T* control = qobject_cast<T*>(Control(id));
        if (control == nullptr) {
            MissingControl(id);
        }
        return control;
    }

    // Shows the refusal (caption "HART") and focuses its input, or loads the
    // commands and starts the first step with this page's routine. False when
    // refused.
    bool Run(const PagePlan& plan, HartProtocol::CompletionRoutine routine);
    // The control where the user corrects that input; nullptr for none.
    virtual QWidget* FieldControl(PageField field) const;

    DeviceRecord& Device() const { return m_Device; }

private:
    [[noreturn]] void MissingControl(int id) const;

    DeviceRecord& m_Device;
};

// The dialog-item helpers of the pages.

// An edit's text or a combo's current text, as UTF-8.
std::string ItemText(const QWidget* item);
// The number an edit or combo shows (the pages' number reading rule).
double GetItemNumber(const QWidget* item);
void SetItemText(QWidget* item, const std::string& text);
void SetItemNumber(QWidget* item, double value, int decimals);
void FocusItem(QWidget* item);
// The position the user chose in a combo's list: none (-1) when the text
// shown is not the selected entry's, as after typing into an editable combo.
int SelectedPosition(const QComboBox* combo);
