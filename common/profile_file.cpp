// Private-profile INI reading and writing.
#include "common/profile_file.h"

#include "common/decimal.h"
#include "common/whole_file.h"

#include <QFile>

namespace kyvo {

namespace {
bool sameName(const QByteArray &a, const QByteArray &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

QByteArray unquote(QByteArray v)
{
    v = v.trimmed();
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}
} // namespace

ProfileFile ProfileFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return parse(file.readAll());
}

ProfileFile ProfileFile::parse(const QByteArray &text)
{
    ProfileFile profile;
    std::vector<Line> *target = &profile.m_preamble;
    for (QByteArray raw : text.split('\n')) {
        if (raw.endsWith('\r')) raw.chop(1);
        const QByteArray trimmed = raw.trimmed();
        if (trimmed.startsWith('[')) {
            const int close = trimmed.indexOf(']');
            const QByteArray name = trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed();
            Section *existing = profile.findSection(name);
            if (!existing) {
                profile.m_sections.push_back(Section{name, {}});
                existing = &profile.m_sections.back();
            }
            target = &existing->lines;
            continue;
        }
        Line line;
        const int eq = raw.indexOf('=');
        if (eq > 0 && !trimmed.startsWith(';')) {
            line.key = raw.left(eq).trimmed();
            line.value = raw.mid(eq + 1);
            line.isEntry = !line.key.isEmpty();
        } else {
            line.value = raw;
        }
        target->push_back(line);
    }
    // A final line break leaves an empty last line that is not content.
    std::vector<Line> &last = profile.m_sections.empty() ? profile.m_preamble : profile.m_sections.back().lines;
    while (!last.empty() && !last.back().isEntry && last.back().value.trimmed().isEmpty())
        last.pop_back();
    return profile;
}

ProfileFile::Section *ProfileFile::findSection(const QByteArray &name)
{
    for (Section &s : m_sections)
        if (sameName(s.name, name)) return &s;
    return nullptr;
}

const ProfileFile::Section *ProfileFile::findSection(const QByteArray &name) const
{
    return const_cast<ProfileFile *>(this)->findSection(name);
}

std::optional<QByteArray> ProfileFile::value(const QByteArray &section, const QByteArray &key) const
{
    const Section *s = findSection(section);
    if (!s) return std::nullopt;
    for (const Line &l : s->lines)
        if (l.isEntry && sameName(l.key, key)) return l.value;
    return std::nullopt;
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
    Section *s = findSection(section);
    if (!s) {
        m_sections.push_back(Section{section, {}});
        s = &m_sections.back();
    }
    for (Line &l : s->lines) {
        if (l.isEntry && sameName(l.key, key)) {
            l.value = value;
            return;
        }
    }
    // New keys go behind the section's last entry, before trailing blanks.
    auto insertAt = s->lines.end();
    while (insertAt != s->lines.begin() && !(insertAt - 1)->isEntry && (insertAt - 1)->value.trimmed().isEmpty())
        --insertAt;
    s->lines.insert(insertAt, Line{key, value, true});
}

void ProfileFile::setInt(const QByteArray &section, const QByteArray &key, long long value)
{
    setString(section, key, QByteArray::number(value));
}

void ProfileFile::removeKey(const QByteArray &section, const QByteArray &key)
{
    Section *s = findSection(section);
    if (!s) return;
    std::erase_if(s->lines, [&](const Line &l) { return l.isEntry && sameName(l.key, key); });
}

void ProfileFile::removeSection(const QByteArray &section)
{
    std::erase_if(m_sections, [&](const Section &s) { return sameName(s.name, section); });
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
