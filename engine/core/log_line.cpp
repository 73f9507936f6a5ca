#include "log_line.h"

#include <cstdio>

namespace engine {

std::string escapeLogField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (char c : field) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string unescapeLogField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        char c = field[i];
        if (c != '\\' || i + 1 == field.size()) {
            out += c;
            continue;
        }
        char next = field[++i];
        switch (next) {
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            out += next;
        }
    }
    return out;
}

std::string formatLogLine(double timestampMs, const std::vector<std::string> &fields) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%.3f", timestampMs);
    std::string line = stamp;
    for (const std::string &f : fields) {
        line += '\t';
        line += escapeLogField(f);
    }
    line += '\n';
    return line;
}

std::vector<std::string> splitLogLine(std::string_view line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t tab = line.find('\t', start);
        fields.push_back(unescapeLogField(line.substr(start, tab - start)));
        if (tab == std::string_view::npos)
            break;
        start = tab + 1;
    }
    return fields;
}

} // namespace engine
