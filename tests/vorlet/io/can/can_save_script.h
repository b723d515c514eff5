// One edit of every CAN field through the panel and its dialogs, and the CAN
// item (0x5A) a simulated CAN gateway holds after saving it: shared by the
// loopback window test and the lab's end-to-end test.
#pragma once

#include "vorlet/io/can/can_timing.h"
#include "vorlet/io/can/canbitrate.h"
#include "vorlet/io/can/canhf.h"
#include "vorlet/io/can/cansend.h"
#include "vorlet/io/can/cansf.h"
#include "vorlet/io/can/dcan.h"
#include "vorlet/lang/dialog_captions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace cantest {

template <typename W> W *control(QWidget *root, int id)
{
    auto *w = qobject_cast<W *>(vorlet::findControl(root, id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

inline void type(QWidget *root, int id, const char *text)
{
    control<QLineEdit>(root, id)->setText(QString::fromUtf8(text));
}

inline void choose(QComboBox *list, int index)
{
    list->setCurrentIndex(index);
    Q_EMIT list->activated(index);
}

// Follows the link and returns the dialog it opened.
template <typename D> D *follow(vorlet::can::dcan *panel, int link)
{
    Q_EMIT control<QLabel>(panel, link)->linkActivated(QStringLiteral("#"));
    auto *dialog = dynamic_cast<D *>(panel->openDialog());
    EXPECT_NE(dialog, nullptr) << "link " << link;
    return dialog;
}

// Custom timing for 640 kbps, the timestamped format, the hardware filter
// off and the senders on, an extended hardware filter, filter 3 and senders
// 1 and 9 changed.
inline void editEveryField(vorlet::can::dcan *panel)
{
    using namespace vorlet::can;
    using namespace dcancontrol;
    choose(control<QComboBox>(panel, kBitRate), kCustomBitRate);
    auto *rate = follow<canbitrate>(panel, kBitRateSet);
    type(rate, bitratecontrol::kWanted, "640");
    control<QPushButton>(rate, kOk)->click();
    EXPECT_EQ(control<QLabel>(panel, kCustomRate)->text(), QStringLiteral("640.000 k"));

    choose(control<QComboBox>(panel, kFormat), 1);
    control<QCheckBox>(panel, kHardwareFilter)->setChecked(false);
    control<QCheckBox>(panel, kSenders)->setChecked(true);

    auto *hardware = follow<canhf>(panel, kHardwareSet);
    control<QCheckBox>(hardware, hfcontrol::kExtended)->click();
    type(hardware, hfcontrol::kCode, "1abc");
    type(hardware, hfcontrol::kMask, "ff00");
    control<QPushButton>(hardware, kOk)->click();

    auto *filters = follow<cansf>(panel, kSmartFilterSet);
    using sfcontrol::rowControl;
    control<QComboBox>(filters, rowControl(2, sfcontrol::kLogic))->setCurrentIndex(1);
    control<QComboBox>(filters, rowControl(2, sfcontrol::kFrameType))->setCurrentIndex(2);
    control<QComboBox>(filters, rowControl(2, sfcontrol::kDataType))->setCurrentIndex(7);
    control<QComboBox>(filters, rowControl(2, sfcontrol::kStartByte))->setCurrentIndex(3);
    type(filters, rowControl(2, sfcontrol::kMinimum), "-5");
    type(filters, rowControl(2, sfcontrol::kMaximum), "70000");
    control<QPushButton>(filters, kOk)->click();

    auto *senders = follow<cansend>(panel, kSendersSet);
    type(senders, sendcontrol::kFirstFrame, "88 00 00 12 34 aa bb");
    type(senders, sendcontrol::kFirstDelay, "250");
    control<QCheckBox>(senders, sendcontrol::kFirstEnable + 8)->setChecked(true);
    control<QPushButton>(senders, kOk)->click();
}

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// The item of a simulated CAN gateway (factory settings and counters 1234,
// 567, 89, bus normal) after editEveryField and a save.
inline void expectSavedItem(const QByteArray &item)
{
    ASSERT_EQ(item.size(), 275 + 13);
    // Filter 3 (value offset 2 + 2 * 12): data type, frame type, logic, start byte, minimum, maximum.
    EXPECT_EQ(item.mid(26, 12), bytes({7, 2, 1, 3, 0xFF, 0xFF, 0xFF, 0xFB, 0, 1, 0x11, 0x70}));
    // Sender 1 (offset 112) and sender 9 (offset 240): enabled, 13 frame bytes, delay.
    EXPECT_EQ(item.mid(112, 16), bytes({1, 0x88, 0, 0, 0x12, 0x34, 0xAA, 0xBB, 0, 0, 0, 0, 0, 0, 0, 250}));
    EXPECT_EQ(item.mid(240, 16), bytes({1, 0x88, 0, 0, 0x12, 0x38, 1, 2, 3, 4, 5, 6, 7, 8, 0x03, 0x84}));
    // Bit rate, brp, tseg1, tseg2, custom, format, the three boxes, extended, code, mask; then the
    // gateway's own counters.
    EXPECT_EQ(item.mid(256),
              bytes({16, 0,    5,    16, 8, 1,    1,    0, 1, 1,    1,    0, 0, 0x1A, 0xBC, 0,
                     0,  0xFF, 0x00, 0,  0, 0x04, 0xD2, 0, 0, 0x02, 0x37, 0, 0, 0,    0x59, 0}));
}

} // namespace cantest
