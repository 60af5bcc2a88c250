#include "framework/CFailureGuard.h"

#include <exception>
#include <new>

namespace {

CFailureGuard* current = nullptr;

} // namespace

CFailureGuard::~CFailureGuard() = default;

CFailureGuard* CFailureGuard::Set(CFailureGuard* guard)
{
    CFailureGuard* previous = current;
    current = guard;
    return previous;
}

bool CFailureGuard::Run(const std::function<void()>& work)
{
    CFailureGuard* guard = current;
    if (guard == nullptr) {
        work();
        return true;
    }
    std::string reason;
    guard->Begin();
    try {
        work();
        guard->End();
        return true;
    } catch (const std::bad_alloc&) {
        reason = "There is not enough memory.";
    } catch (const std::exception& failure) {
        reason = failure.what();
    } catch (...) {
        reason = "An unknown error occurred.";
    }
    guard->Abandon(reason);
    return false;
}
