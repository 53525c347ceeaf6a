// The reference for the start-up benchmark: the least a Qt Widgets program does to show
// a main window and close it, built with the same compiler and flags.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Window"));
    window.resize(1000, 720);
    window.show();
    return app.exec();
}
