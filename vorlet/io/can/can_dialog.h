// What the CAN panel's dialogs share: each works on its own copy of the CAN
// block, and "确定" hands the fields it edits to apply(), which the panel
// calls on the block of the device it still shows.
#pragma once

#include "vorlet/io/can/can_texts.h"
#include "vorlet/record/parameter_record.h"

#include <QDialog>

class QMessageBox;

namespace vorlet::can {

class CanDialog : public QDialog
{
public:
    CanDialog(int dialog, const Language &language, QWidget *parent);

    // Writes the fields this dialog edits, as confirmed, into the block.
    virtual void apply(CanBlock &block) const = 0;

    const Language &language() const { return m_language; }

protected:
    QString tr(const char *chinese) const { return m_language.translate(m_dialog, chinese); }
    // Captions from the dialog's language table, at the end of the set-up.
    void applyLanguage();
    int dialogNumber() const { return m_dialog; }

private:
    int m_dialog;
    Language m_language;
};

// A message box that opens without waiting (no nested event loop) and goes
// away when closed.
QMessageBox *showMessage(QWidget *parent, const QString &text);

} // namespace vorlet::can
