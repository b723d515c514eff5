// `caninfo` (resource 169): read-only help on the two packet formats.
#pragma once

#include "vorlet/lang/language.h"

#include <QDialog>

class QPlainTextEdit;

namespace vorlet::can {

class caninfo : public QDialog
{
public:
    explicit caninfo(const Language &language, QWidget *parent = nullptr);
    QPlainTextEdit *text() const { return m_text; }

private:
    QPlainTextEdit *m_text = nullptr;
};

} // namespace vorlet::can
