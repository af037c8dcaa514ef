#include "tests/support/report_capture.h"

namespace testing_support {

ReportCapture::ReportCapture() : sink_([this](const base::Report& entry) { reports.push_back(entry); }) {}

std::vector<base::Report> ReportCapture::boxes() const {
    std::vector<base::Report> result;
    for (const base::Report& entry : reports)
        if (entry.box) result.push_back(entry);
    return result;
}

std::string ReportCapture::onlyText() const {
    if (reports.size() == 1) return reports[0].text;
    std::string instead = std::to_string(reports.size());
    instead += " reports";
    return instead;
}

std::string ReportCapture::written() const {
    std::string all;
    for (const base::Report& entry : reports) all += base::reportLine(entry);
    return all;
}

}  // namespace testing_support
