#pragma once

#include "analysis/DynamicMetrics.h"

#include <QString>
#include <cstdint>
#include <nlohmann/json.hpp>

// The dynamic metrics of one block as the tool prints them: a JSON object whose keys
// carry their unit, or one row of a readable table.
struct BlockReport {
    QString label;                // block number or file name
    std::size_t samples = 0;
    std::int32_t sampleRate = 0;  // Hz; 0 when unknown (frequencies then in bins)
    DynamicMetrics metrics;
};

nlohmann::json ReportJson(const BlockReport& report);
QString ReportTableHeader();
QString ReportTableRow(const BlockReport& report);
