// The reference for the start-up benchmark: the least a Qt Widgets program does to show
// a main window and close it, built with the same compiler and flags. With the argument
// "text" the window shows one line of text, so the fonts are loaded as well.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Window"));
    if (argc > 1 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("text"))
        window.setCentralWidget(new QLabel(QStringLiteral("Bare Window"), &window));
    window.resize(1000, 720);
    window.show();
    return app.exec();
}
