#include "System/SystemInfo.h"

#include "Core/Core.h"
#include "Graphics/Renderer.h"
#include "System/ReportSections.h"
#include "Utils/LogMessage.h"
#include "Utils/Path.h"
#include "Utils/Utf8Path.h"

#include <fstream>

namespace {

// The report is written on the core's behalf while it starts its frame loop, and its message carries
// the core's location (never printed: the file gets neither location nor colours).
constexpr const char* kReportWriterFile = "Engine/src/Core/Core.cpp";
constexpr int kReportWriterLine = 76;

} // namespace

std::string systemInfoReport()
{
    Core& core = Core::instance();
    SDL_Renderer* renderer = core.hasRenderer() ? core.renderer().handle() : nullptr;
    const std::string sections[] = {
        versionsSection(),
        subsystemSection(),
        renderSection(renderer, true),
        displaySection(),
        displayModesSection(),
        audioSection(),
        cpuSection(),
        otherSection(),
        osSection(),
    };
    std::string report;
    for (const std::string& section : sections) {
        if (!report.empty())
            report += '\n'; // every section ends in a line feed: this leaves one blank line between
        report += section;
    }
    return report;
}

void writeSystemInfoReport()
{
    createDirectory("userData");
    // Binary, so that Windows writes the report's "\n" line ends as they are, without carriage returns.
    std::ofstream file(pathFromUtf8(basePath() + "/userData/systemInfo.txt"), std::ios::trunc | std::ios::binary);
    if (!file)
        return;
    const std::string report = systemInfoReport();
    LogMessage(kReportWriterFile, kReportWriterLine, kAnsiBold).toStream(file) << report.c_str();
}
