// A link text of the design (a clickable static): drawn in the window's
// link green and underlined, grey while disabled; a click emits
// linkActivated("#"). Its caption is plain text, so table texts such as
// "更多>>" are never read as markup.
#pragma once

#include <QLabel>

namespace vorlet {

class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    explicit LinkLabel(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace vorlet
