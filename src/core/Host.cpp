#include "core/Host.h"

#include "core/Language.h"
#include "core/Text.h"

void showErrorInfo(Host& host, int number, const std::string& description,
                   const std::string& source) {
    host.message(formatMsg(langText(350), {std::to_string(number), description}), source,
                 Host::Icon::Warning);
}
