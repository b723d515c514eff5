// The one link text of every window (a clickable static of the design):
// drawn in the window's link green and underlined, grey while disabled; a
// click, or Enter or Space while it has the focus, emits linkActivated("#").
// Its caption is plain text, so table texts such as "更多>>" are never read
// as markup.
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
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace vorlet
