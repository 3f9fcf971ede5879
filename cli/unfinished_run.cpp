#include "cli/unfinished_run.h"

#include <ios>
#include <new>
#include <ostream>

#include "cli/exit_status.h"

namespace quorvel::cli {
namespace {

constexpr const char* kMessageStart = "quorvel-calc: could not finish: ";

void Report(const std::string& reason, std::ostream& out, std::ostream& err) {
    out.flush();
    err << kMessageStart << reason << '\n';
    err.flush();
}

}  // namespace

std::string UnfinishedReason(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return "out of memory";
    } catch (const std::ios_base::failure& error) {
        return "the input could not be read or the output not written (" + error.code().message() + ")";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "an unknown failure";
    }
}

int RunToTheEnd(const std::function<int()>& run, std::ostream& out, std::ostream& err) {
    int status = kExitOk;
    try {
        status = run();
    } catch (...) {
        Report(UnfinishedReason(std::current_exception()), out, err);
        return kExitUnfinished;
    }
    // A full disk or a closed output shows only here, after the last write.
    if (!out.flush()) {
        Report("the output could not be written", out, err);
        return kExitUnfinished;
    }
    return status;
}

}  // namespace quorvel::cli
