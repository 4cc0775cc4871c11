#include "app/FailedFiles.h"

#include "core/Host.h"
#include "core/Language.h"
#include "core/Text.h"

void reportFailedFiles(Host& host, const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    std::string list;
    for (const std::string& line : lines)
        list += (list.empty() ? "" : "\r") + line;
    host.message(formatMsg(langText(kTextFailedFiles), {list}),
                 formatMsg(langText(kTextFailedFilesTitle), {}), Host::Icon::Warning);
}
