#pragma once

#include <string_view>

class QWidget;

// Sets the caption of the dialog's control with that id to the text of key in
// the given section of the language file in use. An empty or missing text, or
// an id the dialog does not have, leaves everything as it was, so a language
// file that lacks a key keeps the template caption.
void RelabelControl(QWidget& dialog, int controlId, std::string_view key, std::string_view section);
