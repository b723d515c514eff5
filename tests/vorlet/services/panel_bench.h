// Service panels offscreen with a recorded message sink and a dialog runner
// that the test scripts, so no modal box ever waits for a person.
#pragma once

#include "common/fixed_field.h"
#include "vorlet/lang/dialog_captions.h"
#include "vorlet/lang/language.h"
#include "vorlet/link/search_settings.h"
#include "vorlet/record/parameter_record.h"
#include "vorlet/services/service_panels.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace servicetest {

inline QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

template <typename W> W *control(QWidget *root, int id)
{
    auto *w = qobject_cast<W *>(vorlet::findControl(root, id));
    EXPECT_NE(w, nullptr) << "control " << id;
    return w;
}

// The bytes of a fixed field up to its first NUL.
template <std::size_t N> QByteArray fieldBytes(const std::uint8_t (&field)[N])
{
    std::size_t n = 0;
    while (n < N && field[n])
        ++n;
    return QByteArray(reinterpret_cast<const char *>(field), qsizetype(n));
}

template <std::size_t N> bool allZeroFrom(const std::uint8_t (&field)[N], std::size_t from)
{
    for (std::size_t i = from; i < N; ++i)
        if (field[i]) return false;
    return true;
}

inline std::unique_ptr<vorlet::ChannelBlock> zeroBlock(std::uint8_t mode)
{
    auto block = std::make_unique<vorlet::ChannelBlock>();
    std::memset(block.get(), 0, sizeof *block);
    block->workMode = mode;
    return block;
}

class PanelBench
{
public:
    PanelBench()
    {
        vorlet::ServiceOptions options;
        options.showMessage = [this](QWidget *, const QString &text) { messages << text; };
        options.runDialog = [this](QDialog &dialog) {
            ++dialogsRun;
            lastDialogTitle = dialog.windowTitle();
            if (!script) return int(QDialog::Rejected);
            script(dialog);
            return dialog.result();
        };
        options.cloudBrokerAddress = QStringLiteral("broker.test.invalid");
        options.httpDemoHost = QStringLiteral("demo.test.invalid");
        context = std::make_shared<vorlet::ServiceContext>(options);
    }

    template <typename P = vorlet::ChannelPanel> P *make(vorlet::ChannelPanelKind kind, int channel = 0)
    {
        const vorlet::PanelEnvironment env{&language, &settings};
        auto *panel = vorlet::newServicePanel(kind, channel, env, context, nullptr);
        owned.emplace_back(panel);
        return dynamic_cast<P *>(panel);
    }

    // A dialog script: types into the edits in order, then presses "确定".
    void typeAndConfirm(QStringList texts)
    {
        script = [texts](QDialog &dialog) {
            for (int i = 0; i < texts.size(); ++i)
                control<QLineEdit>(&dialog, 2001 + i)->setText(texts[i]);
            control<QPushButton>(&dialog, 1003)->click();
        };
    }

    vorlet::Language language;
    vorlet::SearchSettings settings;
    std::shared_ptr<vorlet::ServiceContext> context;
    std::vector<std::unique_ptr<vorlet::ChannelPanel>> owned;
    QStringList messages;
    std::function<void(QDialog &)> script; // empty: the dialog is closed without "确定"
    int dialogsRun = 0;
    QString lastDialogTitle;
};

} // namespace servicetest
