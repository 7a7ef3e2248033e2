#include "music/mci_command.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

MciError Tokenise(std::string_view text, std::vector<std::string>& tokens)
{
    std::size_t i = 0;
    while (true) {
        while (i < text.size() && IsBlank(text[i]))
            ++i;
        if (i == text.size())
            return kMciOk;
        std::string token;
        if (text[i] == '"') {
            ++i;
            bool closed = false;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        token += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                token += text[i++];
            }
            if (!closed)
                return kMciErrNoClosingQuote;
        } else {
            while (i < text.size() && !IsBlank(text[i]))
                token += text[i++];
        }
        tokens.push_back(std::move(token));
    }
}

bool VerbFromWord(const std::string& word, MciVerb& verb)
{
    static const struct {
        const char* word;
        MciVerb verb;
    } verbs[] = {{"open", MciVerb::Open},
                 {"play", MciVerb::Play},
                 {"stop", MciVerb::Stop},
                 {"close", MciVerb::Close},
                 {"status", MciVerb::Status}};
    for (const auto& v : verbs) {
        if (word == v.word) {
            verb = v.verb;
            return true;
        }
    }
    return false;
}

} // namespace

MciError ParseMciCommand(std::string_view text, MciCommand& out)
{
    std::vector<std::string> tokens;
    if (MciError err = Tokenise(text, tokens))
        return err;
    if (tokens.empty())
        return kMciErrMissingCommandString;
    out = MciCommand{};
    if (!VerbFromWord(Lower(tokens[0]), out.verb))
        return kMciErrUnrecognizedCommand;
    if (tokens.size() < 2 || tokens[1].empty())
        return kMciErrMissingDeviceName;
    out.device = tokens[1];

    for (std::size_t i = 2; i < tokens.size(); ++i) {
        std::string word = Lower(tokens[i]);
        if (word == "notify") {
            out.notify = true;
        } else if (word == "alias" && out.verb == MciVerb::Open) {
            if (i + 1 >= tokens.size() || tokens[i + 1].empty())
                return kMciErrMissingParameter;
            out.alias = tokens[++i];
        } else if (out.verb == MciVerb::Status && out.item.empty()) {
            out.item = word;
        } else {
            return kMciErrUnrecognizedKeyword;
        }
    }
    if (out.verb == MciVerb::Status && out.item.empty())
        return kMciErrMissingParameter;
    return kMciOk;
}
