// The language switch: the table filled for the chosen language, its texts
// put onto the window, the menu's tick and the language file.
#include "pelmar/ui/server_config_dialog.h"

#include "common/widgets/english_supplement.h"
#include "common/widgets/qt_translations.h"
#include "pelmar/lang/english_supplement.h"
#include "pelmar/ui/server_list_model.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableView>

namespace pelmar {

namespace {

void setCaption(QWidget *w, const QString &text)
{
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        b->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(w))
        g->setTitle(text);
    else if (auto *l = qobject_cast<QLabel *>(w))
        l->setText(text);
}

// Refills a list with new texts; the selection stays where it was, so a
// device's shown values survive the switch.
void refill(QComboBox *list, const QStringList &items)
{
    const int selected = list->currentIndex();
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(selected >= 0 && selected < items.size() ? selected : 0);
}

} // namespace

void ServerConfigDialog::chooseLanguage(Language language)
{
    pelmar::chooseLanguage(language, m_language, m_options.languageFile);
    applyLanguage();
    m_ui.englishItem->setChecked(language == Language::English);
    m_ui.chineseItem->setChecked(language == Language::Chinese);
}

void ServerConfigDialog::applyLanguage()
{
    const LanguageTable &t = m_language;
    ServerWindowControls &ui = m_ui;
    ui.deviceMenu->setTitle(t.text(slot::kDeviceMenu));
    ui.upgradeItem->setText(t.text(72));
    ui.exportItem->setText(t.text(292));
    ui.importItem->setText(t.text(296));
    ui.languageMenu->setTitle(t.text(slot::kLanguageMenu));
    ui.englishItem->setText(t.text(slot::kEnglishItem));
    ui.adapterMenu->setTitle(t.text(slot::kAdapterMenu));
    ui.defaultAdapter->setText(t.text(slot::kDefaultAdapter));
    ui.defaultAdapter->setChecked(m_core.chosenAdapter() == -1);
    ui.aboutItem->setText(t.text(slot::kAboutMenu));

    m_model->setHeaders({t.text(slot::kListColumnIp), t.text(slot::kListColumnMac),
                         t.text(slot::kListColumnFirmware), t.text(slot::kListColumnHardware)});
    for (int c = 0; c < ServerListModel::ColumnCount; ++c)
        ui.deviceList->horizontalHeader()->resizeSection(c, ServerListModel::kColumnWidths[c]);

    for (const auto &[widget, slot] : ui.captions)
        setCaption(widget, t.text(slot));

    refill(ui.ipType, {t.text(80), t.text(84)});
    QStringList modes{QStringLiteral("AP"), QStringLiteral("STA")};
    const DeviceEntry *shown = m_shown >= 0 ? &m_core.devices().at(std::size_t(m_shown)) : nullptr;
    if (!shown || shown->wifiExtended) modes << QStringLiteral("AP-CLIENT");
    refill(ui.wifiMode, modes);
    refill(ui.security, {QStringLiteral("AUTO"), QStringLiteral("OPEN"), QStringLiteral("WPA PSK"),
                         QStringLiteral("WPA2 PSK")});
    refill(ui.encryption, {QStringLiteral("AES"), QStringLiteral("TKIP")});
    refill(ui.registerMode, {t.text(360), t.text(364), t.text(368), t.text(372)});
    ui.registerMode->view()->setMinimumWidth(251);
    ui.serialType->setEnabled(false);

    // The core empties panes 0 to 2 and shows the broadcast address again.
    m_core.setLanguage(t.language());
    setWindowTitle(t.text(slot::kWindowTitle));
    // What the table has no slot for, and Qt's own dialogs and buttons.
    kyvo::applyEnglishSupplement(this, supplementaryEnglish, t.language() == Language::English);
    kyvo::useQtTranslations(t.language() == Language::Chinese);
}

} // namespace pelmar
