#include "bots/botbrain.h"

#include "bots/protocol.h"

#include <qutils/text.h>

#include <algorithm>

namespace pod::bots {

namespace {

using std::chrono::milliseconds;

// Shown in reports, the summary and the traces: short, one line, UTF-8.
std::string printable(const std::string& line) { return qutils::escapedText(line, 200); }

Fault faultOf(LineFault fault) {
  switch (fault) {
  case LineFault::FieldCount:
    return Fault::FieldCount;
  case LineFault::NotFinite:
    return Fault::NotFinite;
  default:
    return Fault::NotANumber;
  }
}

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

BotBrain::BotBrain(BotSettings settings) : settings_(std::move(settings)) {}

BotBrain::~BotBrain() { finish(-1); }

const Problem* BotBrain::forfeit() const {
  if (problems_.empty() || (settings_.checking && !dead_))
    return nullptr;
  return settings_.checking ? &problems_.back() : &problems_.front();
}

bool BotBrain::note(Fault fault, std::string detail, const std::string& line) {
  Problem p;
  p.turn = turn_;
  p.team = team_;
  p.fault = fault;
  p.detail = std::move(detail);
  p.line = printable(line);
  process_.readErrors();
  p.lastErrors = process_.lastErrorLines();
  problems_.push_back(std::move(p));
  const bool fatal = fault == Fault::StartFailed || fault == Fault::Crashed ||
                     fault == Fault::Exited || fault == Fault::ClosedOutput;
  if (!settings_.checking || fatal)
    dead_ = true;
  return !dead_;
}

Fault BotBrain::deathFault(std::string* detail) {
  return faultOfEnd(process_, milliseconds(100), detail);
}

void BotBrain::think(const Race& race, std::vector<Influence>& influences) {
  ++turn_;
  const std::size_t first = influences.size();
  if (!dead_ && answer(race, influences))
    return;
  // A forfeited (or broken) team coasts.
  influences.resize(first);
  influences.resize(first + static_cast<std::size_t>(race.nbPodsPerTeam), Influence{});
}

bool BotBrain::answer(const Race& race, std::vector<Influence>& influences) {
  out_.clear();
  if (!process_.started()) {
    std::string error;
    bool ours = false;
    if (!process_.start(settings_.words, &error, &ours)) {
      if (!ours)
        return note(Fault::StartFailed, error);
      hostError_ = error;
      dead_ = true;
      return false;
    }
    Greeting g;
    g.timeAttack = race.timeAttack;
    g.podsPerTeam = race.nbPodsPerTeam;
    g.teams = race.nbPodsPerTeam > 0 ? static_cast<int>(race.pods.size()) / race.nbPodsPerTeam : 0;
    g.team = team_;
    g.firstMs = settings_.firstMs;
    g.turnMs = settings_.turnMs;
    g.track = track_;
    appendGreeting(out_, g);
  } else if (process_.hasUnreadOutput()) {
    // Lines nobody asked for would be taken as this turn's answers.
    process_.readLine(line_, Clock::now());
    if (!note(Fault::ExtraLine, "more lines than pods last turn", line_))
      return false;
    for (;;) {
      const BotProcess::Io io = process_.readLine(line_, Clock::now());
      if (io != BotProcess::Io::Ok && io != BotProcess::Io::TooLong)
        break;
    }
  }

  const int limit = turn_ == 1 ? settings_.firstMs : settings_.turnMs;
  appendTurn(out_, turn_, limit, race);
  const auto sent = Clock::now();
  const auto deadline = sent + milliseconds(limit);
  const int stallMs = std::max(limit, settings_.stallMs);
  const auto stall = sent + milliseconds(stallMs);
  std::string detail;

  BotProcess::Io io = process_.write(out_, settings_.checking ? stall : deadline);
  if (io == BotProcess::Io::Closed) {
    const Fault f = faultOfEnd(process_, milliseconds(100), &detail, Fault::ClosedInput);
    return note(f, detail);
  }
  if (io == BotProcess::Io::Timeout) {
    note(Fault::Late, "it does not read its input", {});
    dead_ = true;
    return false;
  }

  bool late = false;
  for (int pod = 0; pod < race.nbPodsPerTeam; ++pod) {
    io = process_.readLine(line_, late ? stall : deadline);
    if (io == BotProcess::Io::Timeout && !late) {
      if (!settings_.checking)
        return note(Fault::Late, "no answer within " + std::to_string(limit) + " ms");
      late = true;
      io = process_.readLine(line_, stall);
    }
    if (io == BotProcess::Io::Timeout) {
      note(Fault::Late, "no answer within " + std::to_string(stallMs) + " ms");
      dead_ = true;
      return false;
    }
    if (io == BotProcess::Io::Closed) {
      const Fault f = deathFault(&detail);
      return note(f, detail);
    }
    Influence command;
    if (io == BotProcess::Io::TooLong) {
      if (!note(Fault::LineTooLong, {}, line_.substr(0, 60) + "..."))
        return false;
    } else if (const LineFault fault = parseCommand(line_, command); fault != LineFault::None) {
      if (!note(faultOf(fault), {}, line_))
        return false;
      command = Influence{};
    }
    influences.push_back(command);
  }

  const double ms = msSince(sent);
  if (late)
    note(Fault::Late, "answered after " + std::to_string(static_cast<int>(ms)) + " ms; limit " +
                          std::to_string(limit) + " ms");
  if (ms > slowestMs_) {
    slowestMs_ = ms;
    slowestTurn_ = turn_;
  }
  totalMs_ += ms;
  ++answers_;
  return true;
}

void BotBrain::turnDone(const Race& race, float turnTime) {
  (void)turnTime;
  if (race.winner != -1)
    finish(race.winner);
}

void BotBrain::finish(int winner) {
  if (finished_)
    return;
  finished_ = true;
  if (!process_.started())
    return;
  const milliseconds grace(settings_.graceMs);
  bool gentle = !dead_;
  if (!dead_) {
    out_.clear();
    appendEnd(out_, winner);
    const auto deadline = Clock::now() + grace;
    process_.write(out_, deadline);
    // A bot still running after its grace has had it: SIGTERM next.
    gentle = readWhatIsLeft(deadline);
  }
  process_.stop(grace, gentle);
}

// Lines are matched to turns by count, never by when they come: whatever
// the bot wrote beyond its answers is an extra line, found when the next
// turn is due if it has arrived by then, and at the latest here, once the
// race is over and its output has been read to the end. False when the
// output is still open at the deadline.
bool BotBrain::readWhatIsLeft(Clock::time_point deadline) {
  const BotProcess::Io io = process_.readLine(line_, deadline);
  if (io == BotProcess::Io::Ok || io == BotProcess::Io::TooLong) {
    ++turn_; // the turn these lines would have answered
    note(Fault::ExtraLine, "more lines than pods by the end of the race", line_);
  } else if (io == BotProcess::Io::Closed && process_.hasUnreadOutput()) {
    ++turn_;
    note(Fault::ExtraLine, "more lines than pods by the end of the race");
  }
  return io != BotProcess::Io::Timeout;
}

std::string BotBrain::takeErrorOutput() { return process_.takeErrorOutput(); }

} // namespace pod::bots
