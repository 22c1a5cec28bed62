#include "platform/TopLevelWindows.h"

#include <QTest>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace {

// Runs the enumeration on a worker, as the recordings thread does; returns the ids titled so.
std::vector<platform::TopLevelId> findFromWorker(const QString& title)
{
    std::vector<platform::TopLevelId> found;
    std::thread worker([&] {
        platform::enumTopLevelWindows([&](platform::TopLevelId id) {
            if (platform::topLevelWindowTitle(id, 256) == title)
                found.push_back(id);
            return true;
        });
    });
    worker.join();
    return found;
}

TEST(TopLevelWindows, WorkerSeesAShownWindowAndRetitlesIt)
{
    platform::trackTopLevelWindows();
    const QString original = QString::fromUtf8("Orvo - 转换录制文件");
    const QString replaced = QString::fromUtf8("Corvana - 转换录制文件");
    QWidget window;
    window.setWindowTitle(original);
    window.show();

    const auto found = findFromWorker(original);
    ASSERT_EQ(found.size(), size_t(1));
    bool queued = false;
    std::thread worker([&] { queued = platform::setTopLevelWindowTitle(found[0], replaced); });
    worker.join(); // returns without the GUI thread having run
    EXPECT_TRUE(queued);
    EXPECT_EQ(window.windowTitle(), original);
    QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), replaced, 5000);
    EXPECT_EQ(platform::topLevelWindowTitle(found[0]), replaced);
    EXPECT_TRUE(findFromWorker(original).empty());
}

TEST(TopLevelWindows, TitlesAreCutAndChildrenOrGoneWindowsAreNotListed)
{
    platform::trackTopLevelWindows();
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QStringLiteral("Orvo - long title"));
    auto* child = new QWidget(window.get());
    child->setWindowTitle(QStringLiteral("child title"));
    window->show();

    const auto found = findFromWorker(QStringLiteral("Orvo - long title"));
    ASSERT_EQ(found.size(), size_t(1));
    const platform::TopLevelId id = found[0];
    EXPECT_EQ(platform::topLevelWindowTitle(id, 4), QStringLiteral("Orvo"));
    EXPECT_TRUE(findFromWorker(QStringLiteral("child title")).empty());

    // A title changed on the GUI thread is seen by the worker.
    window->setWindowTitle(QStringLiteral("renamed"));
    EXPECT_EQ(findFromWorker(QStringLiteral("renamed")).size(), size_t(1));

    window.reset();
    EXPECT_EQ(platform::topLevelWindowTitle(id), QString());
    EXPECT_FALSE(platform::setTopLevelWindowTitle(id, QStringLiteral("x")));
    EXPECT_TRUE(findFromWorker(QStringLiteral("renamed")).empty());
}

TEST(TopLevelWindows, EnumerationStopsWhenTheVisitorSaysSo)
{
    platform::trackTopLevelWindows();
    QWidget first;
    QWidget second;
    first.show();
    second.show();
    int visits = 0;
    platform::enumTopLevelWindows([&](platform::TopLevelId) {
        ++visits;
        return false;
    });
    EXPECT_EQ(visits, 1);
}

} // namespace
