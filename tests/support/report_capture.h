// Collects every report (our diagnostics and the message boxes) while it lives, instead of
// stderr and the screen.
#pragma once

#include <string>
#include <vector>

#include "base/report.h"

namespace testing_support {

class ReportCapture {
public:
    ReportCapture();
    ReportCapture(const ReportCapture&) = delete;
    ReportCapture& operator=(const ReportCapture&) = delete;

    std::vector<base::Report> reports;

    // Only the message boxes.
    std::vector<base::Report> boxes() const;
    // The text of the only report, or a description of what came instead.
    std::string onlyText() const;
    // Everything as the default sink would have written it.
    std::string written() const;

private:
    base::ScopedReportSink sink_;
};

}  // namespace testing_support
