// The captions of the I/O rule dialogs: Translate under the dialog's number,
// then under a sibling dialog whose table holds the text, then our own few
// English words, so English mode is English throughout.
#pragma once

#include "vorlet/lang/language.h"

#include <QString>

namespace vorlet {

class RuleTexts
{
public:
    RuleTexts(const Language &language, int dialog, int siblingDialog = 0)
        : m_language(language), m_dialog(dialog), m_sibling(siblingDialog)
    {}

    QString operator()(const char *chinese) const;
    // "X%d", "Y%d", "ADC%d", "T%d" with the one-based number.
    static QString numberedName(const char *prefix, int number);

    const Language &language() const { return m_language; }
    int dialog() const { return m_dialog; }

private:
    Language m_language; // a copy: dialogs outlive a caller's temporary
    int m_dialog;
    int m_sibling;
};

} // namespace vorlet
