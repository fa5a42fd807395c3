#include "sim/line_plan.h"

#include "link/qserialport_line.h"
#include "sim/sim_line.h"

namespace tunekit {

std::unique_ptr<SerialLine> makeLine(const LinePlan& plan, Clock& clock)
{
    if (plan.simulated)
        return std::make_unique<SimLine>(clock, *plan.simulated);
    if (plan.port.isEmpty())
        return std::make_unique<QSerialPortLine>();
    return std::make_unique<QSerialPortLine>([name = plan.port](int) { return name; });
}

} // namespace tunekit
