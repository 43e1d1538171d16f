// The reference of the start-up benchmark: a Qt program that opens one empty window and says
// "locavia-ready" once the window has been drawn, as Locavia does for its main window.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace
{

class Window : public QWidget
{
protected:
    bool event(QEvent *event) override
    {
        if (!m_reported && (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint)) {
            m_reported = true;
            QTimer::singleShot(0, qApp, [] {
                std::puts("locavia-ready");
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QWidget::event(event);
    }

private:
    bool m_reported = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    Window window;
    window.setWindowTitle(QStringLiteral("Fenêtre vide"));
    window.resize(1100, 760);
    window.show();
    return QApplication::exec();
}
