#include "serial/HandOver.h"

#include "platform/MessageLoop.h"

namespace kirvan {

HandOver::HandOver(MessageLoop& loop, int& nesting, std::function<void()> routine)
    : loop_(loop), nesting_(nesting), routine_(std::move(routine)), onMainThread_([this] {
          const unsigned request = handed_.load(std::memory_order_acquire);
          // Published even when the routine throws (the loop reports the exception).
          struct Done {
              HandOver& handOver;
              unsigned request;
              ~Done()
              {
                  --handOver.nesting_;
                  handOver.handed_.store(request + 1, std::memory_order_release);
              }
          } done{*this, request};
          ++nesting_;
          routine_();
      })
{}

void HandOver::run()
{
    handed_.fetch_add(1, std::memory_order_release);
    loop_.synchronize(onMainThread_);
    handed_.load(std::memory_order_acquire);
}

} // namespace kirvan
