// The supplementary English table of the gateway tool.
#include "vorlet/lang/english_supplement.h"

#include "common/widgets/english_supplement.h"

#include <algorithm>
#include <iterator>

namespace vorlet {

namespace {

struct SupplementRow
{
    const char *chinese;
    const char *english;
};

// clang-format off
constexpr SupplementRow kRows[] = {
    {"关于 vorlet(&A)...", "About vorlet(&A)..."},
    {"全部网卡", "All adapters"},
    {"正在测试请等待 ...", "Testing, please wait ..."},
    {"定制恢复出厂参数", "Custom factory parameters"},
    {"导出设备清单", "Export inventory"},
    {"确定要对%1台设备执行“%2”吗？", "Run \"%2\" on %1 devices?"},
    {"如网址:", "Web address:"},
    {"STA模式:SSID可以填写多个AP,会按顺序尝试直到连接成功。SSID 格式:123;456 "
     "AP之间用;隔开。如果密码相同只填写一个即可，不相同，也用;隔开和ssid 对应起来。",
     "STA mode: SSID may name several APs, tried in order until one connects. SSID format: 123;456 "
     "with ; between the APs. One password serves when they share it; otherwise give theirs in the same "
     "order, also separated by ;."},
};
// clang-format on

} // namespace

const char *supplementaryEnglish(std::string_view chinese)
{
    const auto *row = std::find_if(std::begin(kRows), std::end(kRows),
                                   [chinese](const SupplementRow &r) { return chinese == r.chinese; });
    return row == std::end(kRows) ? nullptr : row->english;
}

void applyEnglishSupplement(QWidget *root, bool english)
{
    kyvo::applyEnglishSupplement(
        root,
        [](const QString &chinese) {
            const QByteArray utf8 = chinese.toUtf8();
            const char *english =
                supplementaryEnglish(std::string_view(utf8.constData(), std::size_t(utf8.size())));
            return english ? QString::fromUtf8(english) : QString();
        },
        english);
}

} // namespace vorlet
