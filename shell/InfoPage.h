#pragma once

#include "shell/ConfigurationPage.h"

#include <string>
#include <vector>

class QComboBox;
class QDateEdit;
class QLineEdit;

// Information: tag, descriptor, message and date; the polling address the
// tool uses (which the main window's search fills and its Stop reads) and the
// one written into the transmitter; the final assembly number.
class InfoPage : public ConfigurationPage {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 135;

    InfoPage(DeviceRecord& device, QWidget* parent);

    // The address list as the main window's search uses it.
    void ClearAddresses();
    void AddAddress(int address);
    std::vector<std::string> Addresses() const;
    // After a search: the first address found, or "0" when none answered.
    void ChooseFirstAddress();
    // The address shown becomes the one the tool uses ("0" when none is shown).
    void UseAddressShown();

    QComboBox* AddressCombo() const { return m_pAddress; }
    QDateEdit* DatePicker() const { return m_pDate; }

protected:
    QWidget* FieldControl(PageField field) const override;

private:
    void ReadInformation();
    void UpdateInformation();
    void ChangeAddress();
    void ShowAnswer(std::uint8_t command);
    static void OnAnswer(void* userData, int success, std::uint8_t command);

    QDateEdit* m_pDate = nullptr;          // 1101
    QLineEdit* m_pTag = nullptr;           // 1032
    QLineEdit* m_pDescriptor = nullptr;    // 1033
    QLineEdit* m_pMessage = nullptr;       // 1034
    QComboBox* m_pAddress = nullptr;       // 1025
    QLineEdit* m_pNewAddress = nullptr;    // 1038
    QLineEdit* m_pFinalAssembly = nullptr; // 1039
};
