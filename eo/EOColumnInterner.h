#pragma once

#include <QString>
#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace eo
{

// Shares one string among the rows of a fetch that hold the same short text in a column (building names,
// codes, floors, flags, type labels, counts kept as text), which keeps large fetches small in memory. A
// column whose values are all different soon stops being looked up. One interner per column of a fetch.
class EOColumnInterner
{
public:
    QString text(const char *utf8, int bytes)
    {
        // Flags and one-letter kinds are the most repeated values of all: one string each, for every fetch.
        if (bytes == 1 && static_cast<unsigned char>(utf8[0]) < 128)
            return singleCharacter(utf8[0]);
        if (!m_enabled || bytes > MaximumLength)
            return QString::fromUtf8(utf8, bytes);
        const std::string_view key(utf8, size_t(bytes));
        const auto found = m_strings.find(key);
        if (found != m_strings.end())
            return found->second;
        if (m_strings.size() >= MaximumDistinct) {
            m_enabled = false;
            return QString::fromUtf8(utf8, bytes);
        }
        m_keys.emplace_back(utf8, size_t(bytes));
        QString value = QString::fromUtf8(utf8, bytes);
        m_strings.emplace(std::string_view(m_keys.back()), value);
        return value;
    }

private:
    static constexpr int MaximumLength = 128;
    static constexpr size_t MaximumDistinct = 512;

    static const QString &singleCharacter(char c)
    {
        static const std::array<QString, 128> table = [] {
            std::array<QString, 128> strings;
            for (int i = 0; i < 128; ++i)
                strings[size_t(i)] = QString(QChar(i));
            return strings;
        }();
        return table[size_t(static_cast<unsigned char>(c))];
    }

    bool m_enabled = true;
    std::deque<std::string> m_keys; // the interned texts, which the map's keys point into
    std::unordered_map<std::string_view, QString> m_strings;
};

} // namespace eo
