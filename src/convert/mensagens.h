// The modal messages of a run (warning, error, information), as an interface: the
// window shows them as message boxes, the command line prints them, tests record
// them. Texts are Windows-1252 and may carry carriage returns ("\r").
#pragma once

#include <string_view>

namespace conversor::convert {

class Mensagens {
public:
    virtual ~Mensagens() = default;
    virtual void Aviso(std::string_view texto) = 0;
    virtual void Erro(std::string_view texto) = 0;
    virtual void Informacao(std::string_view texto) = 0;
};

}  // namespace conversor::convert
