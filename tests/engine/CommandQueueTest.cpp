#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "FTPCompCommands.h"

namespace ferrowin {
namespace {

TEST(CommandQueue, YieldsItemsInPushOrder) {
  TCommandQueue queue;
  queue.Push(TCommandKind::Login, {"host"});
  queue.Push(TCommandKind::List, {"/", "*.*"});
  queue.Push(TCommandKind::NoOp, {});
  std::unique_ptr<TCommandItem> item;
  for (TCommandKind expected : {TCommandKind::Login, TCommandKind::List, TCommandKind::NoOp}) {
    ASSERT_TRUE(queue.Pop(item));
    EXPECT_EQ(item->Kind, expected);
  }
  EXPECT_EQ(queue.Count(), 0u);
}

TEST(CommandQueue, PopWaitsForTheNextPush) {
  TCommandQueue queue;
  auto popped = std::async(std::launch::async, [&] {
    std::unique_ptr<TCommandItem> item;
    return queue.Pop(item) ? item->Kind : TCommandKind::None;
  });
  EXPECT_EQ(popped.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
  queue.Push(TCommandKind::Delete, {"a.txt"});
  ASSERT_EQ(popped.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(popped.get(), TCommandKind::Delete);
}

TEST(CommandQueue, TerminationReleasesAWaiterButStillHandsOutQueuedItems) {
  TCommandQueue queue;
  auto waiter = std::async(std::launch::async, [&] {
    std::unique_ptr<TCommandItem> item;
    return queue.Pop(item);
  });
  queue.Terminate();
  ASSERT_EQ(waiter.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_FALSE(waiter.get());

  TCommandQueue second;
  second.Push(TCommandKind::NoOp, {});
  second.Terminate();
  std::unique_ptr<TCommandItem> item;
  EXPECT_TRUE(second.Pop(item));
  EXPECT_FALSE(second.Pop(item));
}

TEST(CommandQueue, ClearDropsOnlyWaitingItems) {
  TCommandQueue queue;
  queue.Push(TCommandKind::List, {});
  std::unique_ptr<TCommandItem> running;
  ASSERT_TRUE(queue.Pop(running));  // the worker's current command
  queue.Push(TCommandKind::Delete, {"x"});
  queue.Push(TCommandKind::Rename, {"x", "y"});
  queue.Clear();
  EXPECT_EQ(queue.Count(), 0u);
  ASSERT_TRUE(running);
  EXPECT_EQ(running->Kind, TCommandKind::List);
}

TEST(CommandQueue, ManyProducersLoseNothing) {
  TCommandQueue queue;
  constexpr int perThread = 2000;
  std::vector<std::thread> producers;
  for (int t = 0; t < 4; ++t)
    producers.emplace_back([&] {
      for (int i = 0; i < perThread; ++i) queue.Push(TCommandKind::NoOp, {});
    });
  int taken = 0;
  std::unique_ptr<TCommandItem> item;
  while (taken < 4 * perThread && queue.Pop(item)) ++taken;
  for (auto& p : producers) p.join();
  EXPECT_EQ(taken, 4 * perThread);
}

}  // namespace
}  // namespace ferrowin
