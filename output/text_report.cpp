#include "output/text_report.h"

namespace orbilux {

bool writeTextReport() { return false; }

}  // namespace orbilux
