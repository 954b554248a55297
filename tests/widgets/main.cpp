#include "WidgetTests.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    for (const auto& make : {MakeWidgetsTest, MakeButtonRulesTest, MakeButtonDrawingTest, MakeButtonInputTest,
                             MakeButtonStoreTest}) {
        const std::unique_ptr<QObject> test = make();
        status |= QTest::qExec(test.get(), argc, argv);
    }
    return status;
}
