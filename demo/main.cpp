// oyun: the show.
#include "base/report.h"
#include "demo/demo.h"

int main() {
    base::setProgramName("oyun");
    return runShell(platform::currentInstance(), showShellSettings());
}
