# A Firebird server of this computer, as a Vantora installation runs one, for the tests
# that convert into a database the server holds open. Debian's firebird3.0-server is
# started here, without any service manager, listening on the loopback address only,
# with a configuration and a security database of its own in a temporary folder (the
# machine's are left alone); there SYSDBA's password is the converter's.
# Sourced by test.sh:
#   IniciaServidorFirebird  starts it and exports CONVERSOR_SERVIDOR_FIREBIRD=1 once it
#                           accepts SYSDBA; when it cannot, exports
#                           CONVERSOR_SERVIDOR_AUSENTE with the reason, and the tests
#                           that need it say skipped.
#   ParaServidorFirebird    stops it and removes its folder.

SERVIDOR_FIREBIRD_PID=""
SERVIDOR_FIREBIRD_PASTA=""

_ServidorAusente() {
  export CONVERSOR_SERVIDOR_AUSENTE="$1"
  echo "== Servidor Firebird não iniciado: $1; os testes que o usam serão pulados =="
}

# True when something accepts connections on 127.0.0.1:3050.
_PortaFirebirdOcupada() {
  (exec 3<> /dev/tcp/127.0.0.1/3050) 2> /dev/null
}

# SYSDBA's password as the converter connects with it: db::kSenhaSysdba, read from
# src/db/conexao.h so that it is written in one place.
_SenhaSysdba() {
  sed -n 's/^inline constexpr const char\* kSenhaSysdba = "\(.*\)";$/\1/p' \
    "$(dirname "${BASH_SOURCE[0]}")/../src/db/conexao.h"
}

IniciaServidorFirebird() {
  unset CONVERSOR_SERVIDOR_FIREBIRD CONVERSOR_SERVIDOR_AUSENTE
  local senha
  senha=$(_SenhaSysdba)
  if [ -z "$senha" ]; then
    _ServidorAusente "a senha do SYSDBA não foi encontrada em src/db/conexao.h"
    return 0
  fi
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2> /dev/null; then
      sudo="sudo -n"
    else
      _ServidorAusente "é preciso ser root (ou ter sudo sem senha)"
      return 0
    fi
  fi
  if [ ! -x /usr/sbin/firebird ] || ! command -v isql-fb > /dev/null; then
    _ServidorAusente "firebird3.0-server ou firebird3.0-utils não instalado"
    return 0
  fi
  if _PortaFirebirdOcupada; then
    _ServidorAusente "a porta 3050 de 127.0.0.1 já está em uso por outro programa"
    return 0
  fi

  local pasta
  pasta=$(mktemp -d /tmp/conversor-servidor-XXXXXX)
  SERVIDOR_FIREBIRD_PASTA=$pasta
  # The server looks for its messages and its character sets (intl/) beside its
  # configuration: those of the installed Firebird. The character sets' module is
  # copied, as the engine does not find its character sets in a module it loaded
  # through a link.
  local instalado
  instalado=$(dirname "$(dpkg -L libfbclient2 | grep '/firebird.msg$' | head -1)")
  ln -s "$instalado/firebird.msg" "$pasta/"
  mkdir "$pasta/intl"
  cp "$instalado/intl/libfbintl.so" "$pasta/intl/"
  cat > "$pasta/firebird.conf" << FIM
RemoteBindAddress = 127.0.0.1
RemoteServicePort = 3050
SecurityDatabase = $pasta/security3.fdb
FIM
  cat > "$pasta/databases.conf" << FIM
security.db = $pasta/security3.fdb
{
  RemoteAccess = false
}
FIM
  # The security database as the package makes it, then SYSDBA with its password; both
  # with the embedded engine, reading this folder's configuration.
  if ! (
    set -e
    export LANG=C
    echo "create database '$pasta/security3.fdb';" | $sudo env FIREBIRD="$pasta" isql-fb -q
    $sudo env FIREBIRD="$pasta" isql-fb -q -user SYSDBA -i /usr/share/firebird/3.0/security.sql \
      "$pasta/security3.fdb"
    echo "create or alter user SYSDBA password '$senha';" |
      $sudo env FIREBIRD="$pasta" isql-fb -q -user SYSDBA "$pasta/security3.fdb"
  ) > "$pasta/preparo.log" 2>&1; then
    _ServidorAusente "não foi possível preparar o banco de segurança ($(tail -3 "$pasta/preparo.log" | tr '\n' ' '))"
    return 0
  fi

  $sudo env FIREBIRD="$pasta" /usr/sbin/firebird > "$pasta/servidor.log" 2>&1 < /dev/null &
  SERVIDOR_FIREBIRD_PID=$!
  local i
  for i in $(seq 1 100); do
    _PortaFirebirdOcupada && break
    kill -0 "$SERVIDOR_FIREBIRD_PID" 2> /dev/null || break
    sleep 0.1
  done
  # A database created and dropped through the server: it answers and takes SYSDBA.
  if ! echo "create database 'localhost:$pasta/sonda.fdb' user 'SYSDBA' password '$senha';
drop database;" | isql-fb -q > "$pasta/sonda.log" 2>&1; then
    _ServidorAusente "o servidor não aceitou a conexão ($(cat "$pasta/servidor.log" "$pasta/sonda.log" | tail -3 | tr '\n' ' '))"
    ParaServidorFirebird
    return 0
  fi
  export CONVERSOR_SERVIDOR_FIREBIRD=1
  echo "== Servidor Firebird iniciado em 127.0.0.1:3050 (pid $SERVIDOR_FIREBIRD_PID) =="
}

ParaServidorFirebird() {
  if [ -n "$SERVIDOR_FIREBIRD_PID" ]; then
    kill -TERM "$SERVIDOR_FIREBIRD_PID" 2> /dev/null || true
    local i
    for i in $(seq 1 100); do
      kill -0 "$SERVIDOR_FIREBIRD_PID" 2> /dev/null || break
      sleep 0.1
    done
    kill -KILL "$SERVIDOR_FIREBIRD_PID" 2> /dev/null || true
    wait "$SERVIDOR_FIREBIRD_PID" 2> /dev/null || true
    SERVIDOR_FIREBIRD_PID=""
  fi
  if [ -n "$SERVIDOR_FIREBIRD_PASTA" ]; then
    rm -rf "$SERVIDOR_FIREBIRD_PASTA"
    SERVIDOR_FIREBIRD_PASTA=""
  fi
  unset CONVERSOR_SERVIDOR_FIREBIRD
}
