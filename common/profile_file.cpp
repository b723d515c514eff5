// Private-profile INI reading and writing.
#include "common/profile_file.h"

#include "common/decimal.h"
#include "common/whole_file.h"

#include <QFile>

namespace kyvo {

namespace {
// Windows compares profile names without regard to ASCII case; GBK bytes stay as they are.
QByteArray folded(const QByteArray &name)
{
    return name.toLower();
}

QByteArray unquote(QByteArray v)
{
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}
} // namespace

void ProfileFile::Section::addLine(Line line)
{
    if (line.isEntry) {
        const QByteArray key = folded(line.key);
        if (!keyIndex.contains(key)) keyIndex.insert(key, lines.size());
    }
    lines.push_back(std::move(line));
}

void ProfileFile::Section::reindex()
{
    keyIndex.clear();
    std::vector<Line> all = std::move(lines);
    lines.clear();
    for (Line &l : all)
        addLine(std::move(l));
}

const ProfileFile::Line *ProfileFile::Section::entry(const QByteArray &key) const
{
    const auto it = keyIndex.constFind(folded(key));
    return it == keyIndex.cend() ? nullptr : &lines[it.value()];
}

ProfileFile ProfileFile::load(const QString &path, LoadStatus *status)
{
    LoadStatus ignored;
    LoadStatus &result = status ? *status : ignored;
    QFile file(path);
    result = LoadStatus::Unreadable;
    if (!file.open(QIODevice::ReadOnly)) return {};
    // Read at most one byte beyond the limit: the size a file claims may change under us.
    const QByteArray text = file.read(kMaxFileBytes + 1);
    if (text.size() > kMaxFileBytes) {
        result = LoadStatus::TooLarge;
        return {};
    }
    result = LoadStatus::Loaded;
    return parse(text);
}

QString profileTooLargeText(const QString &path, bool english)
{
    return english ? QStringLiteral("The file %1 is larger than 1 MiB and was not read.").arg(path)
                   : QStringLiteral("文件 %1 超过 1 MiB，未读取。").arg(path);
}

ProfileFile ProfileFile::parse(const QByteArray &text)
{
    ProfileFile profile;
    Section *target = nullptr;
    for (QByteArray raw : text.split('\n')) {
        if (raw.endsWith('\r')) raw.chop(1);
        const QByteArray trimmed = raw.trimmed();
        if (trimmed.startsWith('[')) {
            const int close = trimmed.indexOf(']');
            target = &profile.sectionFor(trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed());
            continue;
        }
        Line line;
        const int eq = raw.indexOf('=');
        if (eq > 0 && !trimmed.startsWith(';')) line.key = raw.left(eq).trimmed();
        line.isEntry = !line.key.isEmpty();
        line.value = line.isEntry ? raw.mid(eq + 1) : raw; // a line that is no entry stays as it was
        if (target)
            target->addLine(std::move(line));
        else
            profile.m_preamble.push_back(std::move(line));
    }
    // A final line break leaves an empty last line that is not content.
    std::vector<Line> &last = target ? target->lines : profile.m_preamble;
    while (!last.empty() && !last.back().isEntry && last.back().value.trimmed().isEmpty())
        last.pop_back();
    return profile;
}

ProfileFile::Section *ProfileFile::findSection(const QByteArray &name)
{
    const auto it = m_sectionIndex.constFind(folded(name));
    return it == m_sectionIndex.cend() ? nullptr : &m_sections[it.value()];
}

const ProfileFile::Section *ProfileFile::findSection(const QByteArray &name) const
{
    return const_cast<ProfileFile *>(this)->findSection(name);
}

ProfileFile::Section &ProfileFile::sectionFor(const QByteArray &name)
{
    if (Section *s = findSection(name)) return *s;
    m_sectionIndex.insert(folded(name), m_sections.size());
    m_sections.push_back(Section{name, {}, {}});
    return m_sections.back();
}

void ProfileFile::reindex()
{
    m_sectionIndex.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        m_sectionIndex.insert(folded(m_sections[i].name), i);
}

std::optional<QByteArray> ProfileFile::value(const QByteArray &section, const QByteArray &key) const
{
    const Section *s = findSection(section);
    const Line *line = s ? s->entry(key) : nullptr;
    return line ? std::optional<QByteArray>(line->value) : std::nullopt;
}

QByteArray ProfileFile::getString(const QByteArray &section, const QByteArray &key, const QByteArray &fallback,
                                  int maxLength) const
{
    const auto v = value(section, key);
    QByteArray result = v ? unquote(*v) : fallback;
    if (maxLength >= 0 && result.size() > maxLength) result.truncate(maxLength);
    return result;
}

int ProfileFile::getInt(const QByteArray &section, const QByteArray &key, int fallback) const
{
    const auto v = value(section, key);
    if (!v) return fallback;
    const QByteArray text = unquote(*v);
    return parseDecimal32(std::string_view(text.constData(), size_t(text.size())));
}

void ProfileFile::setString(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    Section &s = sectionFor(section);
    if (const auto it = s.keyIndex.constFind(folded(key)); it != s.keyIndex.cend()) {
        s.lines[it.value()].value = value;
        return;
    }
    // New keys go behind the section's last entry, before trailing blanks; only
    // blank lines move, so the indexed entries keep their places.
    auto insertAt = s.lines.end();
    while (insertAt != s.lines.begin() && !(insertAt - 1)->isEntry &&
           (insertAt - 1)->value.trimmed().isEmpty())
        --insertAt;
    s.keyIndex.insert(folded(key), std::size_t(insertAt - s.lines.begin()));
    s.lines.insert(insertAt, Line{key, value, true});
}

void ProfileFile::setInt(const QByteArray &section, const QByteArray &key, long long value)
{
    setString(section, key, QByteArray::number(value));
}

void ProfileFile::removeKey(const QByteArray &section, const QByteArray &key)
{
    Section *s = findSection(section);
    if (!s || !s->entry(key)) return;
    const QByteArray name = folded(key);
    std::erase_if(s->lines, [&](const Line &l) { return l.isEntry && folded(l.key) == name; });
    s->reindex();
}

void ProfileFile::removeSection(const QByteArray &section)
{
    if (!findSection(section)) return;
    const QByteArray name = folded(section);
    std::erase_if(m_sections, [&](const Section &s) { return folded(s.name) == name; });
    reindex();
}

bool ProfileFile::hasSection(const QByteArray &section) const { return findSection(section) != nullptr; }

QList<QByteArray> ProfileFile::sectionNames() const
{
    QList<QByteArray> names;
    for (const Section &s : m_sections) names.append(s.name);
    return names;
}

QList<QByteArray> ProfileFile::keys(const QByteArray &section) const
{
    QList<QByteArray> result;
    if (const Section *s = findSection(section))
        for (const Line &l : s->lines)
            if (l.isEntry) result.append(l.key);
    return result;
}

QByteArray ProfileFile::serialize() const
{
    QByteArray out;
    auto writeLines = [&out](const std::vector<Line> &lines) {
        for (const Line &l : lines) {
            if (l.isEntry) out += l.key + '=' + l.value;
            else out += l.value;
            out += "\r\n";
        }
    };
    writeLines(m_preamble);
    for (const Section &s : m_sections) {
        out += '[' + s.name + "]\r\n";
        writeLines(s.lines);
    }
    return out;
}

bool ProfileFile::save(const QString &path) const
{
    return writeWholeFile(path, serialize());
}

} // namespace kyvo
