#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "help/WKPreviewWorker.h"

using namespace std::chrono_literals;

namespace {

class TNamedThumbnail : public TWKThumbnail {
 public:
  explicit TNamedThumbnail(std::string name, int* alive) : Name(std::move(name)), Alive_(alive) {
    ++*Alive_;
  }
  ~TNamedThumbnail() override { --*Alive_; }
  void Draw(IWKPaintDevice&, const TRect&) override {}
  std::string Name;

 private:
  int* Alive_;
};

// A maker that holds every call until the test opens the gate, and records what it was asked.
class TGatedMaker {
 public:
  std::unique_ptr<TWKThumbnail> Make(const std::string& name, int32_t w, int32_t h) {
    std::unique_lock lock(Lock_);
    Asked_.push_back(name + " " + std::to_string(w) + "x" + std::to_string(h));
    Changed_.notify_all();
    Changed_.wait(lock, [this] { return Open_; });
    if (name.ends_with(".txt")) return nullptr;
    if (name == "throws") throw std::bad_alloc();
    return std::make_unique<TNamedThumbnail>(name, &Alive_);
  }
  void Open() {
    std::lock_guard lock(Lock_);
    Open_ = true;
    Changed_.notify_all();
  }
  // Waits until the maker has been asked count times.
  bool WaitAsked(size_t count) {
    std::unique_lock lock(Lock_);
    return Changed_.wait_for(lock, 5s, [&] { return Asked_.size() >= count; });
  }
  std::vector<std::string> Asked() {
    std::lock_guard lock(Lock_);
    return Asked_;
  }
  int Alive() {
    std::lock_guard lock(Lock_);
    return Alive_;
  }

 private:
  std::mutex Lock_;
  std::condition_variable Changed_;
  bool Open_ = false;
  std::vector<std::string> Asked_;
  int Alive_ = 0;
};

struct TDelivered {
  std::mutex Lock;
  std::vector<std::unique_ptr<TWKThumbnail>> Items;
  std::vector<std::string> Names() {
    std::lock_guard lock(Lock);
    std::vector<std::string> names;
    for (auto& item : Items) names.push_back(static_cast<TNamedThumbnail&>(*item).Name);
    return names;
  }
};

class PreviewWorkerTest : public ::testing::Test {
 protected:
  TGatedMaker maker;
  TDelivered delivered;
  std::unique_ptr<TWKPreviewWorker> worker = std::make_unique<TWKPreviewWorker>(
      [this](const std::string& n, int32_t w, int32_t h) { return maker.Make(n, w, h); },
      [this](uint64_t, std::unique_ptr<TWKThumbnail> t) {
        std::lock_guard lock(delivered.Lock);
        delivered.Items.push_back(std::move(t));
      });

  bool WaitIdle() {
    for (int i = 0; i < 500 && !worker->Idle(); ++i) std::this_thread::sleep_for(10ms);
    return worker->Idle();
  }
};

}  // namespace

TEST(PreviewRequests, NewestRequestWinsAndCancelMakesTicketsStale) {
  TWKPreviewRequests requests;
  EXPECT_TRUE(requests.Idle());
  const uint64_t a = requests.Request("a.jpg", 10, 20);
  const uint64_t b = requests.Request("b.jpg", 30, 40);
  EXPECT_FALSE(requests.IsCurrent(a));
  EXPECT_TRUE(requests.IsCurrent(b));
  TWKPreviewRequest taken;
  ASSERT_TRUE(requests.Take(taken));
  EXPECT_EQ(taken.FileName, "b.jpg");
  EXPECT_EQ(taken.Width, 30);
  EXPECT_EQ(taken.Height, 40);
  EXPECT_EQ(taken.Ticket, b);
  EXPECT_FALSE(requests.HasPending());
  EXPECT_FALSE(requests.Idle());  // b is in hand
  requests.Cancel();              // a non-image is selected while b is being made
  EXPECT_FALSE(requests.IsCurrent(b));
  requests.Finish();
  EXPECT_TRUE(requests.Idle());
}

TEST(PreviewRequests, TerminateWakesTheWaitingTakerForGood) {
  TWKPreviewRequests requests;
  bool result = true;
  std::thread taker([&] {
    TWKPreviewRequest r;
    result = requests.Take(r);
  });
  std::this_thread::sleep_for(20ms);
  requests.Terminate();
  taker.join();
  EXPECT_FALSE(result);
  const uint64_t late = requests.Request("late.jpg", 1, 1);
  EXPECT_FALSE(requests.IsCurrent(late));
  EXPECT_TRUE(requests.Idle());  // nothing is left pending for a taker that is gone
  TWKPreviewRequest r;
  EXPECT_FALSE(requests.Take(r));
}

TEST_F(PreviewWorkerTest, QuickSelectionsMakeTheFileInHandAndTheNewestOnly) {
  worker->Request("one.jpg", 100, 80);
  ASSERT_TRUE(maker.WaitAsked(1));  // one.jpg is being made
  worker->Request("two.jpg", 100, 80);
  worker->Request("three.jpg", 100, 80);
  maker.Open();
  ASSERT_TRUE(maker.WaitAsked(2));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(maker.Asked(), (std::vector<std::string>{"one.jpg 100x80", "three.jpg 100x80"}));
  EXPECT_EQ(delivered.Names(), std::vector<std::string>{"three.jpg"});
  const auto counts = worker->Counts();
  EXPECT_EQ(counts.Made, 2);
  EXPECT_EQ(counts.Dropped, 1);
  EXPECT_EQ(counts.Delivered, 1);
  EXPECT_EQ(maker.Alive(), 1);  // the stale one was freed, the delivered one lives
}

TEST_F(PreviewWorkerTest, CancelDuringMakingDropsTheThumbnail) {
  worker->Request("photo.jpg", 50, 50);
  ASSERT_TRUE(maker.WaitAsked(1));
  worker->Cancel();  // the user moved on to something that is not an image
  maker.Open();
  ASSERT_TRUE(WaitIdle());
  EXPECT_TRUE(delivered.Names().empty());
  EXPECT_EQ(worker->Counts().Dropped, 1);
  EXPECT_EQ(maker.Alive(), 0);
}

TEST_F(PreviewWorkerTest, FailingAndThrowingMakersDeliverNothingAndKeepTheThreadAlive) {
  maker.Open();
  worker->Request("notes.txt", 50, 50);
  ASSERT_TRUE(maker.WaitAsked(1));
  ASSERT_TRUE(WaitIdle());
  worker->Request("throws", 50, 50);
  ASSERT_TRUE(maker.WaitAsked(2));
  ASSERT_TRUE(WaitIdle());
  worker->Request("after.png", 50, 50);
  ASSERT_TRUE(maker.WaitAsked(3));
  ASSERT_TRUE(WaitIdle());
  EXPECT_EQ(worker->Counts().Failed, 2);
  EXPECT_EQ(delivered.Names(), std::vector<std::string>{"after.png"});
}

TEST_F(PreviewWorkerTest, TerminateDuringMakingWaitsAndDeliversNothing) {
  worker->Request("big.jpg", 50, 50);
  ASSERT_TRUE(maker.WaitAsked(1));
  worker->Terminate();
  std::thread opener([this] {
    std::this_thread::sleep_for(30ms);
    maker.Open();
  });
  worker.reset();  // joins: returns only after the thumbnail in hand is finished
  opener.join();
  EXPECT_TRUE(delivered.Names().empty());
  EXPECT_EQ(maker.Alive(), 0);
}

TEST_F(PreviewWorkerTest, ReleasedWorkerGoesAtOnceAndItsThreadEndsOnItsOwn) {
  worker->Request("big.jpg", 50, 50);
  ASSERT_TRUE(maker.WaitAsked(1));
  worker->Release();
  worker.reset();  // the maker is still held: this returns without waiting for it
  EXPECT_EQ(TWKPreviewWorker::ReleasedRunning(), 1);
  maker.Open();
  TWKPreviewWorker::JoinReleased();
  EXPECT_EQ(TWKPreviewWorker::ReleasedRunning(), 0);
  EXPECT_TRUE(delivered.Names().empty());
  EXPECT_EQ(maker.Alive(), 0);  // the thumbnail in hand was freed by the thread
  EXPECT_EQ(maker.Asked().size(), 1u);
}

TEST_F(PreviewWorkerTest, IdleWorkerEndsAtOnce) {
  const auto start = std::chrono::steady_clock::now();
  worker.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_TRUE(maker.Asked().empty());
}
