#include "shell/InfoPage.h"

#include "hart/DeviceRecord.h"
#include "hart/Sequence.h"
#include "pages/InfoDecisions.h"
#include "platform/DebugTrace.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>

namespace {

QDate ToQDate(const CalendarDate& date) {
    return QDate(date.year, date.month, date.day);
}

} // namespace

InfoPage::InfoPage(DeviceRecord& device, QWidget* parent)
    : ConfigurationPage(kTemplateId, "QXView3", device, parent) {
    m_pDate = Find<QDateEdit>(1101);
    m_pTag = Find<QLineEdit>(1032);
    m_pDescriptor = Find<QLineEdit>(1033);
    m_pMessage = Find<QLineEdit>(1034);
    m_pAddress = Find<QComboBox>(1025);
    m_pNewAddress = Find<QLineEdit>(1038);
    m_pFinalAssembly = Find<QLineEdit>(1039);

    // Only dates the transmitter's date field can carry can be chosen.
    m_pDate->setDateRange(ToQDate({FirstTransmitterYear, 1, 1}),
                          ToQDate({LastTransmitterYear, 12, 31}));
    m_pDate->setDate(QDate::currentDate());
    m_pAddress->setEditText(QStringLiteral("0"));

    connect(Find<QPushButton>(1048), &QPushButton::clicked, this, &InfoPage::ReadInformation);
    connect(Find<QPushButton>(1163), &QPushButton::clicked, this, &InfoPage::UpdateInformation);
    connect(Find<QPushButton>(1040), &QPushButton::clicked, this, &InfoPage::ChangeAddress);
    connect(Find<QPushButton>(1049), &QPushButton::clicked, this, [this] {
        if (CanStartSequence()) {
            Run(PlanFinalAssemblyRead(), &InfoPage::OnAnswer);
        }
    });
    connect(Find<QPushButton>(1168), &QPushButton::clicked, this, [this] {
        if (CanStartSequence()) {
            Run(PlanFinalAssemblyWrite(ItemText(m_pFinalAssembly), Device()), &InfoPage::OnAnswer);
        }
    });
    // Typing an address makes the next command use it at once.
    connect(m_pAddress->lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        Device().pollingAddress = PollingAddressOfText(text.toStdString());
    });
    connect(m_pAddress, &QComboBox::activated, this, [this](int index) {
        if (index >= 0) {
            Device().pollingAddress =
                PollingAddressOfText(m_pAddress->itemText(index).toStdString());
        }
    });
}

void InfoPage::ClearAddresses() {
    m_pAddress->clear();
}

void InfoPage::AddAddress(int address) {
    m_pAddress->addItem(QString::number(address));
}

std::vector<std::string> InfoPage::Addresses() const {
    std::vector<std::string> addresses;
    for (int i = 0; i < m_pAddress->count(); ++i) {
        addresses.push_back(m_pAddress->itemText(i).toStdString());
    }
    return addresses;
}

void InfoPage::ChooseFirstAddress() {
    if (m_pAddress->count() == 0) {
        m_pAddress->setEditText(QStringLiteral("0"));
    } else {
        m_pAddress->setCurrentIndex(0);
    }
}

void InfoPage::UseAddressShown() {
    if (m_pAddress->currentText().isEmpty()) {
        m_pAddress->setEditText(QStringLiteral("0"));
    }
    Device().pollingAddress = PollingAddressOfText(ItemText(m_pAddress));
}

QWidget* InfoPage::FieldControl(PageField field) const {
    return field == PageField::NewAddress ? m_pNewAddress : nullptr;
}

void InfoPage::ReadInformation() {
    if (CanStartSequence()) {
        Run(PlanInfoRead(), &InfoPage::OnAnswer);
    }
}

void InfoPage::UpdateInformation() {
    const QDate date = m_pDate->date();
    const PagePlan plan = PlanInfoUpdate({{date.year(), date.month(), date.day()},
                                          ItemText(m_pTag),
                                          ItemText(m_pDescriptor),
                                          ItemText(m_pMessage)},
                                         Device());
    if (CanStartSequence()) {
        Run(plan, &InfoPage::OnAnswer);
    }
}

void InfoPage::ChangeAddress() {
    const PagePlan plan = PlanAddressChange(ItemText(m_pNewAddress), Device());
    if (plan.Refused()) {
        Run(plan, &InfoPage::OnAnswer);
    } else if (CanStartSequence()) {
        Run(plan, &InfoPage::OnAnswer);
    }
}

void InfoPage::ShowAnswer(std::uint8_t command) {
    DeviceRecord& device = Device();
    switch (command) {
    case 13:
        if (const std::optional<CalendarDate> date = TransmitterDate(device)) {
            m_pDate->setDate(ToQDate(*date));
        } else {
            DebugTrace("transmitter date is no calendar date: day %u, month %u, year %u",
                       device.dateDay, device.dateMonth, device.dateYear);
        }
        SetItemText(m_pTag, device.tag);
        SetItemText(m_pDescriptor, device.descriptor);
        SetItemText(m_pMessage, device.message);
        break;
    case 6:
        m_pAddress->setEditText(QString::number(device.newPollingAddress));
        device.pollingAddress = device.newPollingAddress;
        break;
    case 16:
        SetItemText(m_pFinalAssembly, device.finalAssemblyNumber);
        break;
    default:
        break;
    }
}

void InfoPage::OnAnswer(void* userData, int success, std::uint8_t command) {
    auto* self = static_cast<InfoPage*>(userData);
    if (AdvanceSequence(self, &InfoPage::OnAnswer, success) != StepOutcome::Finished) {
        return;
    }
    self->ShowAnswer(command);
    ReportSequenceDone();
}
