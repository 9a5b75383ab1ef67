#include "plans/PlanPictures.h"

#include "platform/WorkerThread.h"

#include "tests/support/ScriptedPictureLoader.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>
#include <thread>
#include <utime.h>

namespace kirvan::testing {
namespace {

class PlanPicturesTest : public ::testing::Test {
protected:
    // Requests a file and lets the worker hand its result over.
    PictureLoader::Result read(PlanPictures& pictures, const QString& name)
    {
        std::optional<PictureLoader::Result> result;
        pictures.request(folder.file(name), bound, [&](const PictureLoader::Result& r) { result = r; });
        settle(pictures);
        return result.value_or(PictureLoader::Result{});
    }
    void settle(PlanPictures& pictures)
    {
        while (pictures.busy()) {
            loop.advance(0);
            std::this_thread::yield();
        }
    }
    std::size_t reads()
    {
        std::lock_guard lock(loader.mutex);
        return loader.loaded.size();
    }

    const QSize bound{800, 600};
    TempFolder folder;
    VirtualMessageLoop loop;
    ScriptedPictureLoader loader;
};

TEST_F(PlanPicturesTest, AFileIsReadOnceUntilItChanges)
{
    folder.write(QStringLiteral("plan.png"), "one");
    PlanPictures pictures(loader, std::make_unique<WorkerThread>(loop));
    const QString path = folder.file(QStringLiteral("plan.png"));
    EXPECT_FALSE(pictures.find(path, bound)) << "nothing is kept before the first read";
    EXPECT_FALSE(read(pictures, QStringLiteral("plan.png")).picture.isNull());
    EXPECT_EQ(reads(), 1u);
    ASSERT_TRUE(pictures.find(path, bound));
    EXPECT_FALSE(pictures.find(path, bound)->picture.isNull());
    EXPECT_FALSE(pictures.find(path, QSize(400, 300))) << "kept at the size it was read for";

    // A new modification time or size is a new picture.
    const utimbuf earlier{1'000'000, 1'000'000};
    ASSERT_EQ(utime(QFile::encodeName(path).constData(), &earlier), 0);
    EXPECT_FALSE(pictures.find(path, bound));
    folder.write(QStringLiteral("plan.png"), "longer");
    EXPECT_FALSE(pictures.find(path, bound));
    read(pictures, QStringLiteral("plan.png"));
    EXPECT_EQ(reads(), 2u);

    // What cannot be read is kept with its reason: a damaged plan costs its decoder once.
    loader.errors.insert(QStringLiteral("damaged.emf"), QStringLiteral("файл повреждён"));
    folder.write(QStringLiteral("damaged.emf"), "x");
    EXPECT_EQ(read(pictures, QStringLiteral("damaged.emf")).error, QStringLiteral("файл повреждён"));
    ASSERT_TRUE(pictures.find(folder.file(QStringLiteral("damaged.emf")), bound));
    EXPECT_EQ(pictures.find(folder.file(QStringLiteral("damaged.emf")), bound)->error, QStringLiteral("файл повреждён"));
}

TEST_F(PlanPicturesTest, ANewRequestAbandonsAReadNoLongerWanted)
{
    folder.write(QStringLiteral("endless.svg"), "<svg/>");
    folder.write(QStringLiteral("plan.png"), "png");
    loader.endless << QStringLiteral("endless.svg");
    PlanPictures pictures(loader, std::make_unique<WorkerThread>(loop));
    bool endlessShown = false;
    pictures.request(folder.file(QStringLiteral("endless.svg")), bound, [&](const auto&) { endlessShown = true; });
    EXPECT_TRUE(pictures.busy());
    // The next selection's plan is read although the endless one never ends by itself.
    EXPECT_FALSE(read(pictures, QStringLiteral("plan.png")).picture.isNull());
    EXPECT_FALSE(endlessShown);
    EXPECT_FALSE(pictures.find(folder.file(QStringLiteral("endless.svg")), bound)) << "an abandoned read is not kept";

    // abandon() alone stops it too, and nothing is handed over afterwards.
    pictures.request(folder.file(QStringLiteral("endless.svg")), bound, [&](const auto&) { endlessShown = true; });
    pictures.abandon();
    EXPECT_FALSE(pictures.busy());
    loop.advance(0);
    EXPECT_FALSE(endlessShown);
}

TEST_F(PlanPicturesTest, ThePicturesKeptStayWithinTheirMemoryBudget)
{
    loader.size = QSize(400, 300); // 480,000 bytes each
    constexpr qint64 budget = 1'000'000;
    PlanPictures pictures(loader, std::make_unique<WorkerThread>(loop), budget);
    for (const QString& name : {QStringLiteral("1.png"), QStringLiteral("2.png"), QStringLiteral("3.png")}) {
        folder.write(name, "png");
        read(pictures, name);
    }
    EXPECT_FALSE(pictures.find(folder.file(QStringLiteral("1.png")), bound)) << "the least recently shown goes first";
    EXPECT_TRUE(pictures.find(folder.file(QStringLiteral("3.png")), bound));
}

TEST_F(PlanPicturesTest, EndsWhileAReadIsUnderWay)
{
    folder.write(QStringLiteral("endless.svg"), "<svg/>");
    loader.endless << QStringLiteral("endless.svg");
    auto pictures = std::make_unique<PlanPictures>(loader, std::make_unique<WorkerThread>(loop));
    pictures->request(folder.file(QStringLiteral("endless.svg")), bound, [](const auto&) {});
    while (reads() == 0)
        std::this_thread::yield();
    pictures.reset();
}

} // namespace
} // namespace kirvan::testing
