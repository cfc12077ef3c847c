#include "base/texto_terminal.h"

#include "base/regional.h"

namespace conversor {

std::string EscapaParaTerminal(std::string_view utf8, bool linhaUnica) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string r;
    r.reserve(utf8.size());
    const auto escape = [&](unsigned codigo) {
        r += "\\x";
        r += kHex[(codigo >> 4) & 0xF];
        r += kHex[codigo & 0xF];
    };
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c < 0x7F) {
            if (c == '\\' && linhaUnica) r += '\\';
            r += static_cast<char>(c);
            ++i;
        } else if (c < 0x80) {
            switch (c) {
                case '\t':
                    r += "\\t";
                    break;
                case '\n':
                    r += linhaUnica ? "\\n" : "\n";
                    break;
                case '\r':
                    r += "\\r";
                    break;
                default:
                    escape(c);
            }
            ++i;
        } else {
            size_t n = 1;
            while (i + n < utf8.size() && n < 4 &&
                   (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80)
                ++n;
            // The longest well-formed sequence from here, or the lone byte escaped.
            while (n > 1 && !Utf8Valido(utf8.substr(i, n))) --n;
            if (n == 1) {
                escape(c);
            } else if (c == 0xC2 && static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
                escape(static_cast<unsigned char>(utf8[i + 1]));  // C1 control, U+0080..U+009F
            } else {
                r.append(utf8, i, n);
            }
            i += n;
        }
    }
    return r;
}

std::string ParaTerminal(std::string_view texto) {
    std::string r = MensagemParaUtf8(texto);
    for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] == '\r') {
            if (i + 1 < r.size() && r[i + 1] == '\n')
                r.erase(i, 1);
            else
                r[i] = '\n';
        }
    }
    return EscapaParaTerminal(r, false);
}

}  // namespace conversor
