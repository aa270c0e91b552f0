#pragma once

#include <QWidget>

#include <string>

struct DialogTemplate;

// A configuration page as its dialog template: every control with its id,
// name and caption, relabelled from its language section. The page's own
// behaviour (reading and writing the transmitter) builds on this.
class TemplatePage : public QWidget {
    Q_OBJECT
public:
    TemplatePage(int templateId, std::string section, QWidget* parent);

    // Captions of every named control from the page's section; a few buttons
    // take theirs from another page's section, as the language files have it.
    virtual void Relabel();
    // A toolbar command handed to the page; false when the page has none.
    virtual bool HandleCommand(int commandId);

    QWidget* Control(int id) const;
    const std::string& Section() const { return m_strSection; }

private:
    const DialogTemplate* m_pTemplate = nullptr;
    std::string m_strSection;
};
