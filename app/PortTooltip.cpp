#include "app/PortTooltip.h"

#include "core/BaudRates.h"
#include "platform/Wnd.h"
#include "serial/PortDiagnosis.h"

#include <QEvent>
#include <QWidget>

namespace {

class CPortTooltipFilter : public QObject {
public:
    explicit CPortTooltipFilter(QWidget* pEdit) : QObject(pEdit) {}

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Enter || pEvent->type() == QEvent::ToolTip)
            static_cast<QWidget*>(pWatched)->setToolTip(QString::fromStdString(PortTooltipText()));
        return false;
    }
};

} // namespace

std::string PortTooltipText() {
    const std::vector<const char*>& bauds = OfferedBaudTexts();
    return DescribePortList(ListPorts()) +
           "\n\nName a device by a number of your choice:\n    ln -s /dev/ttyUSB0 "
           "~/.velmora/ports/com3\nor a network source, gpsd's NMEA or a TCP server's:\n    "
           "echo gpsd://localhost > ~/.velmora/ports/com4\n    echo tcp://HOST:PORT > "
           "~/.velmora/ports/com5\n\nBaud rates " +
           bauds.front() + " to " + bauds.back() +
           ": older receivers send at 4800 or 9600, many of today's at 115200 or faster.";
}

void InstallPortTooltip(CWnd* pEdit) {
    if (!pEdit || !pEdit->Widget())
        return;
    QWidget* pWidget = pEdit->Widget();
    pWidget->installEventFilter(new CPortTooltipFilter(pWidget));
}
