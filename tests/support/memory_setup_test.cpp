#include "support/memory_setup.h"

#include <QFile>

#include <cstdlib>
#include <cstring>

#include <gtest/gtest.h>

// A sanitizer brings a heap of its own, which is left alone.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TESSAREL_TEST_SANITIZED_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define TESSAREL_TEST_SANITIZED_HEAP 1
#endif
#endif

#if defined(__GLIBC__) && !defined(TESSAREL_TEST_SANITIZED_HEAP)
#define TESSAREL_TEST_GLIBC_HEAP 1
#include <sys/resource.h>
#endif

namespace tessarel {
namespace {

#ifdef TESSAREL_TEST_GLIBC_HEAP

long MinorFaults() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

/// Minor faults taken while a fresh block of `bytes` is allocated, written and freed.
long FaultsToFill(std::size_t bytes) {
    const long before = MinorFaults();
    auto* block = static_cast<char*>(std::malloc(bytes));
    EXPECT_NE(block, nullptr);
    if (block != nullptr) {
        std::memset(block, 0x5A, bytes);
        // Keep the writes from being optimised away with the block.
        EXPECT_EQ(block[bytes - 1], 0x5A);
    }
    std::free(block);
    return MinorFaults() - before;
}

bool HugePagesOnRequest() {
    QFile setting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (!setting.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray value = setting.readAll();
    return value.contains("[madvise]") || value.contains("[always]");
}

constexpr std::size_t kLargeText = std::size_t{48} << 20;  // above glibc's largest mapping threshold
constexpr long kSmallPagesOfLargeText = static_cast<long>(kLargeText / 4096);

TEST(PrepareHeapForLargeTexts, keepsAFreedLargeBlockForTheNextAndBacksItWithHugePages) {
    // A heap in use before the call, as in a program that has started up.
    for (int i = 0; i < 64; ++i) {
        std::free(std::malloc(static_cast<std::size_t>(i) * 4096 + 100));
    }
    ASSERT_TRUE(PrepareHeapForLargeTexts());

    const long first = FaultsToFill(kLargeText);
    if (HugePagesOnRequest()) {
        EXPECT_LT(first, kSmallPagesOfLargeText / 4) << "the heap's room was not advised for huge pages";
    }
    // The freed block's memory is already there for the next one.
    EXPECT_LT(FaultsToFill(kLargeText), kSmallPagesOfLargeText / 20);
    // A second call changes nothing.
    EXPECT_TRUE(PrepareHeapForLargeTexts());
    EXPECT_LT(FaultsToFill(kLargeText), kSmallPagesOfLargeText / 20);
}

#else

TEST(PrepareHeapForLargeTexts, doesNothingWithoutGlibcsOwnHeap) { EXPECT_FALSE(PrepareHeapForLargeTexts()); }

#endif

}  // namespace
}  // namespace tessarel
