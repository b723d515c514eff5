// The CAN panel and its dialogs offscreen: what each shows on opening, how
// its controls answer, and what "确定" hands back to the panel's block.
#include "can_save_script.h"
#include "vorlet/io/can/caninfo.h"

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>

#include <cstring>
#include <memory>

using namespace vorlet;
using namespace vorlet::can;
using cantest::control;
using cantest::type;

namespace {

QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

void click(QWidget *root, int id)
{
    control<QPushButton>(root, id)->click();
}

// The texts of the message boxes open now, anywhere.
QStringList boxTexts()
{
    QStringList texts;
    for (QWidget *w : QApplication::topLevelWidgets()) // every window, owned or not
        if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) texts << box->text();
    return texts;
}

void closeBoxes()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(w)) box->done(0);
    QCoreApplication::processEvents();
}

std::unique_ptr<ParameterRecord> canRecord()
{
    auto r = std::make_unique<ParameterRecord>();
    std::memset(r.get(), 0, sizeof *r);
    r->capabilities[4] = 1;
    return r;
}

const Language kChinese('c');
const Language kEnglish('e');

} // namespace

// --- canbitrate ---------------------------------------------------------------

TEST(CanBitRate, OpensOnTheStoredRateWithDefaultsForZeroFields)
{
    CanBlock block{};
    canbitrate d(block, kChinese);
    using namespace bitratecontrol;
    EXPECT_EQ(control<QLineEdit>(&d, kWanted)->text(), u("250.000"));
    EXPECT_EQ(control<QLineEdit>(&d, kBrp)->text(), u("16"));
    EXPECT_EQ(d.timing(), (Timing{16, 15, 4}));
    EXPECT_EQ(control<QLabel>(&d, kResult)->text(), u("实际波特率:250.000 k bps  采样率:75%"));
    EXPECT_EQ(control<QLabel>(&d, kActual)->text(), u(" 250.000  "));
    EXPECT_FALSE(d.longForm());
    Q_EMIT control<QLabel>(&d, kMore)->linkActivated(QStringLiteral("#"));
    EXPECT_TRUE(d.longForm());
}

TEST(CanBitRate, AWantedRateAboveOneThousandIsReplacedByOneThousand)
{
    CanBlock block{};
    canbitrate d(block, kEnglish);
    using namespace bitratecontrol;
    type(&d, kWanted, "1500");
    EXPECT_EQ(control<QLineEdit>(&d, kWanted)->text(), u("1000"));
    EXPECT_EQ(d.timing(), (Timing{4, 15, 4}));
    EXPECT_EQ(control<QLabel>(&d, kResult)->text(), u("Real Baudrate:1000.000 k bps  SIMP:75%"));
}

TEST(CanBitRate, TheSearchAndTheManualFieldsDoNotTriggerEachOther)
{
    CanBlock block{};
    canbitrate d(block, kChinese);
    using namespace bitratecontrol;
    // The search fills the manual fields and leaves the typed rate alone.
    type(&d, kWanted, "640");
    EXPECT_EQ(control<QLineEdit>(&d, kWanted)->text(), u("640"));
    EXPECT_EQ(d.timing(), (Timing{5, 16, 8}));
    EXPECT_EQ(control<QLabel>(&d, kSampling)->text(), u("64%"));
    // A manual change shows its rate in the wanted edit without searching
    // again (a search for 888.888 would pick brp 4, tseg1 15, tseg2 4).
    control<QComboBox>(&d, kTseg2)->setCurrentIndex(0);
    EXPECT_EQ(d.timing(), (Timing{5, 16, 1}));
    EXPECT_EQ(control<QLineEdit>(&d, kWanted)->text(), u(" 888.888  "));
    EXPECT_EQ(control<QLabel>(&d, kResult)->text(), u("实际波特率:888.888 k bps  采样率:88%"));
    type(&d, kBrp, "5000");
    EXPECT_EQ(control<QLineEdit>(&d, kBrp)->text(), u("4000"));
    EXPECT_EQ(control<QLineEdit>(&d, kWanted)->text(), u(" 1.111  "));
    EXPECT_EQ(d.timing(), (Timing{4000, 16, 1}));

    click(&d, kOk);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    d.apply(block);
    EXPECT_EQ(
        (std::array{int(block.brp.get()), int(block.tseg1), int(block.tseg2), int(block.customConfirmed)}),
        (std::array{4000, 16, 1, 1}));
}

TEST(CanBitRate, RatesBelowOneKilobitAndPrescalersBelowOneAreRefused)
{
    struct Case
    {
        int control;
        const char *text;
        const char *message;
    };
    using namespace bitratecontrol;
    const Case cases[] = {{kWanted, "0.5", "期望波特率须在 1-1000k bps 之间"},
                          {kWanted, "-20", "期望波特率须在 1-1000k bps 之间"},
                          {kBrp, "0", "分频(brp)须在 1-4000 之间"},
                          {kBrp, "x", "分频(brp)须在 1-4000 之间"}};
    for (const Case &c : cases) {
        CanBlock block{};
        canbitrate d(block, kChinese);
        d.show();
        type(&d, c.control, c.text);
        EXPECT_EQ(d.refusal(), u(c.message)) << c.text;
        EXPECT_EQ(control<QLabel>(&d, kResult)->text(), u(c.message)) << c.text;
        click(&d, kOk);
        EXPECT_TRUE(d.isVisible()) << c.text;
        EXPECT_EQ(boxTexts(), QStringList{u(c.message)}) << c.text;
        closeBoxes();
        // A valid rate lifts the refusal.
        type(&d, kWanted, "125");
        EXPECT_TRUE(d.refusal().isEmpty()) << c.text;
        EXPECT_EQ(d.timing(), (Timing{32, 15, 4})) << c.text;
    }
}

TEST(CanBitRate, AStoredTimingSlowerThanTheSearchReachesIsKept)
{
    CanBlock block{};
    block.brp = 4000;
    block.tseg1 = 16;
    block.tseg2 = 8; // 800 bit/s
    canbitrate d(block, kChinese);
    EXPECT_EQ(d.timing(), (Timing{4000, 16, 8}));
    EXPECT_TRUE(d.refusal().isEmpty());
    EXPECT_EQ(control<QLineEdit>(&d, bitratecontrol::kWanted)->text(), u(" 0.800  "));
}

// --- canhf --------------------------------------------------------------------

TEST(CanHardwareFilter, StandardFramesMaskToElevenBitsAndEnableTheirToggles)
{
    CanBlock block{};
    block.acceptanceCode = 0x12345;
    block.acceptanceMask = 0xFFF;
    canhf d(block, kChinese);
    using namespace hfcontrol;
    EXPECT_EQ(control<QLineEdit>(&d, kCode)->text(), u("345"));
    EXPECT_EQ(control<QLineEdit>(&d, kMask)->text(), u("7ff"));
    EXPECT_EQ(control<QLabel>(&d, kCount)->text(), u("接收的ID 数:2048"));
    EXPECT_TRUE(d.maskBit(10)->isEnabled());
    EXPECT_FALSE(d.maskBit(11)->isEnabled());
    EXPECT_TRUE(d.codeBit(0)->isChecked());
    EXPECT_EQ(d.codeBit(0)->text(), u("1"));
    EXPECT_EQ(d.codeBit(1)->text(), u("0"));

    control<QCheckBox>(&d, kExtended)->click();
    EXPECT_TRUE(d.maskBit(28)->isEnabled());
    type(&d, kMask, "1fffffff");
    EXPECT_EQ(control<QLabel>(&d, kCount)->text(), u("接收的ID 数:536870912"));
    EXPECT_TRUE(d.maskBit(28)->isChecked());
}

TEST(CanHardwareFilter, ATogglesClickRewritesBothEditsFromTheToggles)
{
    CanBlock block{};
    block.extendedIds = 1;
    block.acceptanceCode = 0x1234;
    canhf d(block, kEnglish);
    using namespace hfcontrol;
    d.maskBit(3)->click();
    d.codeBit(20)->click();
    EXPECT_EQ(control<QLineEdit>(&d, kMask)->text(), u("8"));
    EXPECT_EQ(control<QLineEdit>(&d, kCode)->text(), u("101234"));
    EXPECT_EQ(d.maskBit(3)->text(), u("1"));
    EXPECT_EQ(control<QLabel>(&d, kCount)->text(), u("RECV ID QTY:2"));

    type(&d, kCode, "");
    control<QCheckBox>(&d, kExtended)->click(); // back to standard: the mask is cut to 11 bits
    type(&d, kMask, "fffff");
    click(&d, kOk);
    CanBlock out{};
    out.acceptanceCode = 0xAAAA;
    d.apply(out);
    EXPECT_EQ(out.extendedIds, 0);
    EXPECT_EQ(out.acceptanceCode.get(), 0u);
    EXPECT_EQ(out.acceptanceMask.get(), 0x7FFu);
}

// --- cansf --------------------------------------------------------------------

TEST(CanSmartFilter, RowsShowRepairedValuesAndStoreIndexesAndSignedRanges)
{
    CanBlock block{};
    block.filters[0] = {25, 1, 2, 9, {}, {}, {0xEE, 0xEE, 0xEE, 0xEE}};
    block.filters[0].minimum = std::uint32_t(-100);
    block.filters[0].maximum = 300;
    block.filters[8].dataType = 18;
    cansf d(block, kEnglish);
    using namespace sfcontrol;
    EXPECT_EQ(control<QComboBox>(&d, rowControl(0, kDataType))->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>(&d, rowControl(0, kStartByte))->currentIndex(), 0);
    EXPECT_EQ(control<QComboBox>(&d, rowControl(0, kLogic))->currentText(), u("Single(conform to Pass)"));
    EXPECT_EQ(control<QLineEdit>(&d, rowControl(0, kMinimum))->text(), u("-100"));
    EXPECT_EQ(control<QComboBox>(&d, rowControl(8, kDataType))->currentText(), u("Float(DCBA)"));
    EXPECT_EQ(control<QLabel>(&d, kFirstRowLabel + 8)->text(), u("Filter9"));

    control<QComboBox>(&d, rowControl(1, kFrameType))->setCurrentIndex(2);
    control<QComboBox>(&d, rowControl(1, kStartByte))->setCurrentIndex(7);
    type(&d, rowControl(1, kMinimum), "-7x");
    type(&d, rowControl(1, kMaximum), "4294967297"); // the low 32 bits: 1
    click(&d, kOk);
    d.apply(block);
    const std::uint8_t row0[16] = {0,    1,    2, 0, 0x9C, 0xFF, 0xFF, 0xFF,
                                   0x2C, 0x01, 0, 0, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(std::memcmp(&block.filters[0], row0, 16), 0);
    const std::uint8_t row1[16] = {0, 2, 0, 7, 0xF9, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(&block.filters[1], row1, 16), 0);
}

// --- cansend ------------------------------------------------------------------

TEST(CanSender, FramesShowUnlessTheirFirstByteIsZeroOrUsesBitsFourAndFive)
{
    CanBlock block{};
    const std::uint8_t frame[13] = {0x88, 0, 0, 0x12, 0x34, 1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(block.senders[0].frame, frame, 13);
    std::memcpy(block.senders[1].frame, frame, 13);
    block.senders[1].frame[0] = 0x30;
    block.senders[0].enabled = 1;
    block.senders[0].delayMs = 65535;
    cansend d(block, kChinese);
    using namespace sendcontrol;
    EXPECT_EQ(control<QLineEdit>(&d, kFirstFrame)->text(), u("88 00 00 12 34 01 02 03 04 05 06 07 08 "));
    EXPECT_EQ(control<QLineEdit>(&d, kFirstFrame + 1)->text(), QString());
    EXPECT_EQ(control<QLineEdit>(&d, kFirstFrame + 2)->text(), QString()); // first byte 0
    EXPECT_TRUE(control<QCheckBox>(&d, kFirstEnable)->isChecked());
    EXPECT_EQ(control<QLineEdit>(&d, kFirstDelay)->text(), u("65535"));
}

TEST(CanSender, InvalidHexKeepsItsFrameAndTheOtherEditsAreStored)
{
    CanBlock block{};
    const std::uint8_t frame[13] = {0x88, 0, 0, 0x12, 0x34, 1, 2, 3, 4, 5, 6, 7, 8};
    for (CanSender &s : block.senders)
        std::memcpy(s.frame, frame, 13);
    QWidget owner;
    auto *d = new cansend(block, kEnglish, &owner);
    EXPECT_EQ(control<QCheckBox>(d, sendcontrol::kFirstEnable + 8)->text(), u("Start"));
    using namespace sendcontrol;
    type(d, kFirstFrame, "08 00 00 01 23 AA");                // short: the rest of the frame is zero
    type(d, kFirstFrame + 1, "88 00 00 12 3G");               // not hex: the old frame stays
    type(d, kFirstFrame + 2, "");                             // no byte: the old frame stays
    type(d, kFirstFrame + 3, "c8000012340000000000000000ff"); // the first 13 bytes
    type(d, kFirstDelay + 1, "70000");
    control<QCheckBox>(d, kFirstEnable + 1)->setChecked(true);
    click(d, kOk);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(boxTexts(), QStringList{u("Please type hex number")});
    closeBoxes();
    d->apply(block);

    const std::uint8_t first[13] = {0x08, 0, 0, 0x01, 0x23, 0xAA};
    EXPECT_EQ(std::memcmp(block.senders[0].frame, first, 13), 0);
    EXPECT_EQ(std::memcmp(block.senders[1].frame, frame, 13), 0);
    EXPECT_EQ(block.senders[1].enabled, 1);
    EXPECT_EQ(block.senders[1].delayMs.get(), 70000 & 0xFFFF);
    EXPECT_EQ(std::memcmp(block.senders[2].frame, frame, 13), 0);
    const std::uint8_t fourth[13] = {0xC8, 0, 0, 0x12, 0x34};
    EXPECT_EQ(std::memcmp(block.senders[3].frame, fourth, 13), 0);
}

// --- caninfo ------------------------------------------------------------------

TEST(CanFormatHelp, ShowsBothFormatsAndTheThreeExamplesReadOnly)
{
    for (const Language &l : {kChinese, kEnglish}) {
        caninfo d(l);
        const QString text = d.text()->toPlainText();
        EXPECT_TRUE(d.text()->isReadOnly());
        for (const char *example :
             {"88 00 00 12 34 01 02 03 04 05 06 07 08", "08 00 00 01 23 01 02 03 04 05 06 07 08",
              "C8 00 00 12 34 00 00 00 00 00 00 00 00", "0xaa+"})
            EXPECT_TRUE(text.contains(u(example))) << example;
    }
}

// --- dcan ---------------------------------------------------------------------

TEST(CanPanel, LoadShowsTheListsBoxesCustomRateAndCounters)
{
    auto r = canRecord();
    r->poll.can.bitRateIndex = 16;
    r->poll.can.packetFormat = 1;
    r->poll.can.smartFilter = 1;
    r->canReceived = 1234;
    r->canSent = 567;
    r->canFiltered = 89;
    r->canBusState = 1;
    Language language('c');
    dcan panel({&language, nullptr});
    panel.show();
    panel.load(*r);
    using namespace dcancontrol;
    EXPECT_EQ(control<QComboBox>(&panel, kBitRate)->currentText(), u("自定义"));
    EXPECT_TRUE(control<QLabel>(&panel, kCustomRate)->isVisible());
    EXPECT_EQ(control<QLabel>(&panel, kCustomRate)->text(), u("250.000 k"));
    EXPECT_TRUE(control<QLabel>(&panel, kBitRateSet)->isVisible());
    EXPECT_EQ(control<QComboBox>(&panel, kFormat)->currentIndex(), 1);
    EXPECT_FALSE(control<QCheckBox>(&panel, kHardwareFilter)->isChecked());
    EXPECT_TRUE(control<QCheckBox>(&panel, kSmartFilter)->isChecked());
    EXPECT_EQ(control<QLabel>(&panel, kStatus)->text(), u("接收:1234  发送:567  过滤掉: 89   总线状态:错误"));

    r->poll.can.bitRateIndex = 17; // beyond the list
    r->canBusState = 7;
    panel.load(*r);
    EXPECT_EQ(control<QComboBox>(&panel, kBitRate)->currentIndex(), 0);
    EXPECT_FALSE(control<QLabel>(&panel, kCustomRate)->isVisible());
    EXPECT_TRUE(control<QLabel>(&panel, kStatus)->text().endsWith(u("正常")));

    language = Language('e');
    panel.retranslate(language);
    EXPECT_EQ(control<QComboBox>(&panel, kFormat)->itemText(1), u("0xaa+timestamp+Classic format+0xbb"));
    EXPECT_EQ(control<QComboBox>(&panel, kBitRate)->itemText(16), u("Custom"));
    EXPECT_EQ(control<QLabel>(&panel, kStatus)->text(),
              u("Recv:1234  Send:567  Filter: 89   Bus Status:normal"));
}

TEST(CanPanel, StoreWritesTheControlsAndTheDialogsEditsIntoTheBlock)
{
    auto r = canRecord();
    std::memset(r->poll.can.reserved168, 0x5C, sizeof r->poll.can.reserved168);
    r->poll.can.bitRateIndex = 3;
    r->canReceived = 42;
    dcan panel({nullptr, nullptr});
    panel.load(*r);
    using namespace dcancontrol;
    control<QComboBox>(&panel, kBitRate)->setCurrentIndex(16);
    control<QComboBox>(&panel, kFormat)->setCurrentIndex(1);
    control<QCheckBox>(&panel, kHardwareFilter)->setChecked(true);
    control<QCheckBox>(&panel, kSenders)->setChecked(true);
    panel.openHardwareFilter();
    auto *filter = dynamic_cast<canhf *>(panel.openDialog());
    ASSERT_NE(filter, nullptr);
    type(filter, hfcontrol::kCode, "123");
    click(filter, kOk);
    EXPECT_EQ(r->poll.can.acceptanceCode.get(), 0u); // the record waits for the window's save

    panel.store(*r);
    const CanBlock &c = r->poll.can;
    EXPECT_EQ((std::array{c.bitRateIndex, c.packetFormat, c.hardwareFilter, c.smartFilter, c.smartSender}),
              (std::array<std::uint8_t, 5>{16, 1, 1, 0, 1}));
    EXPECT_EQ((std::array{int(c.brp.get()), int(c.tseg1), int(c.tseg2)}), (std::array{16, 15, 4}));
    EXPECT_EQ(c.acceptanceCode.get(), 0x123u);
    EXPECT_EQ(c.reserved168[367], 0x5C);
    EXPECT_EQ(r->canReceived.get(), 42u);
}

TEST(CanPanel, ADialogOpenWhenAnotherDeviceIsShownNeverReachesIt)
{
    auto first = canRecord();
    auto second = canRecord();
    second->poll.can.acceptanceCode = 0x55;
    dcan panel({nullptr, nullptr});
    panel.load(*first);
    panel.openHardwareFilter();
    QPointer<QDialog> stale = panel.openDialog();
    ASSERT_TRUE(stale);
    type(stale, hfcontrol::kCode, "7");
    panel.load(*second);
    EXPECT_TRUE(!stale || !stale->isVisible());
    EXPECT_EQ(panel.openDialog(), nullptr);
    EXPECT_EQ(panel.block().acceptanceCode.get(), 0x55u);
}
