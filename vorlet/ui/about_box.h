// The About box (dialog 100): icon, "vorlet，1.0 版", OK.
#pragma once

#include <QDialog>

namespace vorlet {

class Language;

class AboutBox : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kDialog = 100;
    AboutBox(const Language &language, QWidget *parent = nullptr);
};

} // namespace vorlet
