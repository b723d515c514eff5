// The broadcast address dialog of "指定网段" and the About box.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace pelmar {

class LanguageTable;

// No title; a label, the address edit, OK and Cancel, captioned from the language table.
class BroadcastAddressDialog : public QDialog
{
    Q_OBJECT
public:
    BroadcastAddressDialog(const LanguageTable &language, const QString &suggestion,
                           QWidget *parent = nullptr);
    QLineEdit *addressEdit() const { return m_edit; }
    QString address() const;

private:
    QLineEdit *m_edit;
};

// "关于": the version, the about text, "确定".
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    AboutBox(const LanguageTable &language, QWidget *parent = nullptr);
    QString text() const;

private:
    QLabel *m_version;
    QLabel *m_text;
};

inline constexpr char kVersionText[] = "V174 ";

} // namespace pelmar
