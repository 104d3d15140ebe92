// The yardstick of the whole-process start-up bench: an empty Qt window and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("quorl empty window"));
    window.resize(320, 200);
    window.show();
    return app.exec();
}
