#include "imaging/fit/caption_text.h"

#include <QDate>

#include <array>
#include <vector>

namespace {
struct Token {
    enum Kind { Field, Weekday, Quoted, Literal } kind;
    std::string text;
};

bool FieldLetter(char c) { return c == 'd' || c == 'M' || c == 'y'; }

std::vector<Token> Tokenize(std::string_view pattern)
{
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (FieldLetter(c)) {
            std::size_t end = i;
            while (end < pattern.size() && pattern[end] == c)
                ++end;
            const bool weekday = c == 'd' && end - i >= 3;
            tokens.push_back({weekday ? Token::Weekday : Token::Field, std::string(pattern.substr(i, end - i))});
            i = end;
        } else if (c == '\'') {
            // Up to the closing quote; a doubled quote stands for itself.
            std::size_t end = i + 1;
            while (end < pattern.size()) {
                if (pattern[end] == '\'') {
                    if (end + 1 < pattern.size() && pattern[end + 1] == '\'') {
                        end += 2;
                        continue;
                    }
                    ++end;
                    break;
                }
                ++end;
            }
            tokens.push_back({Token::Quoted, std::string(pattern.substr(i, end - i))});
            i = end;
        } else {
            if (tokens.empty() || tokens.back().kind != Token::Literal)
                tokens.push_back({Token::Literal, {}});
            tokens.back().text += c;
            ++i;
        }
    }
    return tokens;
}

// What may join a weekday to the date: blanks, commas (Latin, Arabic,
// ideographic, full-width) and dashes, in UTF-8.
constexpr std::array<std::string_view, 8> kJoiners = {" ", ",", "-", "\u060C", "\u3001", "\uFF0C", "\u00A0", "\u202F"};

void StripJoiners(std::string& text, bool fromEnd)
{
    for (bool stripped = true; stripped && !text.empty();) {
        stripped = false;
        for (std::string_view j : kJoiners) {
            const bool at = fromEnd ? text.ends_with(j) : text.starts_with(j);
            if (at) {
                text.erase(fromEnd ? text.size() - j.size() : 0, j.size());
                stripped = true;
                break;
            }
        }
    }
}
} // namespace

std::string DateFormatWithoutWeekday(std::string_view pattern)
{
    std::vector<Token> tokens = Tokenize(pattern);
    for (;;) {
        std::size_t weekday = tokens.size(), firstField = tokens.size(), lastField = tokens.size();
        for (std::size_t i = 0; i < tokens.size(); ++i) {
            if (tokens[i].kind == Token::Weekday && weekday == tokens.size())
                weekday = i;
            if (tokens[i].kind == Token::Field) {
                if (firstField == tokens.size())
                    firstField = i;
                lastField = i;
            }
        }
        if (weekday == tokens.size())
            break;
        const auto at = tokens.begin() + std::ptrdiff_t(weekday);
        if (firstField == tokens.size() || weekday < firstField) {
            // Leading: the weekday and whatever stands before the first field
            // ("dddd, ", "ddddที่ ").
            tokens.erase(at, tokens.begin() + std::ptrdiff_t(firstField == tokens.size() ? weekday + 1 : firstField));
        } else if (weekday > lastField) {
            // Trailing: the weekday, what follows it ("dddd 'гараг'") and the
            // joiners before it, keeping punctuation that belongs to the day ("d., dddd").
            tokens.erase(at, tokens.end());
            // A word that leads into the weekday ("'de' dddd", on Tuesday) goes too.
            const std::size_t n = tokens.size();
            if (n >= 2 && tokens[n - 1].kind == Token::Literal &&
                tokens[n - 1].text.find_first_not_of(' ') == std::string::npos && tokens[n - 2].kind == Token::Quoted)
                tokens.resize(n - 2);
            while (!tokens.empty() && tokens.back().kind == Token::Literal) {
                StripJoiners(tokens.back().text, true);
                if (!tokens.back().text.empty())
                    break;
                tokens.pop_back();
            }
        } else {
            tokens.erase(at);
            if (weekday < tokens.size() && tokens[weekday].kind == Token::Literal) {
                StripJoiners(tokens[weekday].text, false);
                if (tokens[weekday].text.empty())
                    tokens.erase(tokens.begin() + std::ptrdiff_t(weekday));
            }
        }
    }
    std::string out;
    for (const Token& t : tokens)
        out += t.text;
    StripJoiners(out, false);
    StripJoiners(out, true);
    return out;
}

QString LongDateText(const TakenDate& date, const QLocale& locale)
{
    const QDate day(date.year, date.month, date.day);
    if (!day.isValid())
        return {};
    const std::string format = DateFormatWithoutWeekday(locale.dateFormat(QLocale::LongFormat).toStdString());
    // A locale whose long form is the weekday alone still shows the day.
    if (format.find_first_of("dMy") == std::string::npos)
        return locale.toString(day, QLocale::ShortFormat);
    return locale.toString(day, QString::fromStdString(format));
}
