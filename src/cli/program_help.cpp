// SPDX-License-Identifier: Apache-2.0
#include "cli/program_help.h"

#include "cli/headless_options.h"
#include "cli/headless_reverse.h"
#include "cli/headless_status.h"

namespace kalmora::cli {

std::string programHelp()
{
    return "Uso: contabiliza-pos               abre la ventana «Contabilización ventas POS»\n"
           "     contabiliza-pos post ...      contabiliza sin ventana ni pantalla\n"
           "     contabiliza-pos reverse ...   revierte una contabilización\n"
           "     contabiliza-pos status ...    el estado de la contabilización de un mes\n"
           "     contabiliza-pos --help        muestra esta ayuda\n"
           "     contabiliza-pos --version     muestra la versión\n"
           "\n"
           "La ventana necesita una pantalla (DISPLAY o WAYLAND_DISPLAY). Ofrece los servidores\n"
           "del archivo SERVIDORES.cfg del directorio de instalación, que nombra el valor\n"
           "\"Directorio\" del archivo /etc/kalmora/hklm.reg (o del que indique KALMORA_HKLM).\n"
           "\n"
           "Las órdenes post, reverse y status no necesitan pantalla. Cualquier otra\n"
           "palabra como primer argumento es una orden desconocida (estado de salida 64).\n"
           "\n" +
           postHelp() + "\n" + reverseHelp() + "\n" + statusHelp();
}

} // namespace kalmora::cli
