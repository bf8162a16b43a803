// Extraction speed: what ExtractURL costs on a clipboard text already split
// into lines, with the default options; splitting is measured on its own.
//
//   BM_Extract/<case>/<bytes>        the real routines
//   BM_ExtractOracle/<case>/<bytes>  the step-by-step algorithms (the oracle)
//   BM_Memchr/<case>/<bytes>         one memchr pass over the same bytes
//   BM_SetText/webpage/<bytes>       splitting the text into lines
//
// Cases: "webpage" (a copied web page, address near the end), "noaddress"
// (text without an address), and adversarial title lines deleted away by the
// default title-delete list ("star" ★, "dashes" --, "zspace" full-width
// spaces) or kept whole ("hyou" 表 0x95 0x5C, every second byte a backslash),
// each followed by a line "http://example.com/"; and "https", the web page
// with an "https://" address near the end, extracted with the https switch
// on (every other case runs with it off); "foreign", the web page with
// titles that code page 932 cannot hold, carried as the core's codes for
// them. tools/bench_report.py reads the JSON output and checks the goals.
//
//   BM_ToCoreText/<case>/<bytes>    the clipboard's UTF-16 text into the core
//   BM_FromCoreText/<case>/<bytes>  and back
//
// for "webpage", "foreign" and "hangul" (Korean, every syllable a new
// character, so that the codes run out early; into the core only), where
// <bytes> is the size of the text in the core (of "hangul", in UTF-16).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/cp932.h"
#include "core/extract.h"
#include "core/foreign.h"
#include "core/linelist.h"
#include "oracle.h"

namespace {

using std::string;

const string kExtra = "-=?;%&,#\\";
const string kDel =
    "\x81\x9A\r\n\x81\x9C\r\n\x81\xA1\r\n\x81\x9F\r\n\x81\xA4\r\n\x81\x9B\r\n\x81\xA0\r\n"
    "\x81\x9E\r\n--\r\n\x81\x40\r\n\x81\x64\r\n\x81\x63\r\n\x84\xAA\r\n\x81\x99\r\n==\r\n";

string Repeat(const string& unit, size_t bytes) {
  string s;
  s.reserve(bytes + unit.size());
  while (s.size() < bytes) s += unit;
  s.resize(bytes - bytes % unit.size());
  return s;
}

// A page as a browser copies it: a decorated title, menus, Japanese and
// ASCII paragraphs, full-width spaces, blank lines; the address near the end.
// `more`, when given, comes before each round of those lines.
string WebPage(size_t bytes, bool withAddress, const char* scheme = "http",
               const string& more = string()) {
  const char* const body[] = {
      "\x81\x9A\x90\x56\x92\x85\x8F\xEE\x95\xF1\x81\x9A \x83\x7A\x81\x5B\x83\x80 | "
      "\x83\x54\x83\x43\x83\x67\x96\xBC",  // ★新着情報★ ホーム | サイト名
      "",
      "\x83\x7A\x81\x5B\x83\x80\x81\x40\x81\x60\x81\x40\x83\x6A\x83\x85\x81\x5B\x83\x58\x81\x40"
      "\x81\x60\x81\x40\x83\x5C\x83\x74\x83\x67\x83\x45\x83\x46\x83\x41",  // menu line
      "\x96\x7B\x93\xFA\x82\xCC\x83\x6A\x83\x85\x81\x5B\x83\x58\x82\xF0\x82\xA8\x93\xCD\x82\xAF"
      "\x82\xB5\x82\xDC\x82\xB7\x81\x42 Windows 10 / 11 \x91\xCE\x89\x9E\x81\x42",
      "Posted 2024-06-01 12:34 by admin - comments (3) - trackback (0)",
      "\x81\x9C \x95\x5C\x8E\xA6\x82\xB3\x82\xEA\x82\xC8\x82\xA2\x8F\xEA\x8D\x87\x82\xCD "
      "C:\\Program Files\\Ixo \x82\xF0\x8A\x6D\x94\x46",
      "  \x81\x40\x81\x40 indented text with <tags> & \"quotes\" \x81\x63",
      "",
  };
  string s;
  s.reserve(bytes + 256);
  size_t i = 0;
  const size_t n = sizeof body / sizeof body[0];
  const size_t addressAt = bytes - bytes / 16;
  bool placed = !withAddress;
  while (s.size() < bytes) {
    if (!placed && s.size() >= addressAt) {
      s += "\x8F\xDA\x82\xB5\x82\xAD\x82\xCD ";
      s += scheme;
      s += "://www.example.co.jp/news/2024/06/"
           "article.html?id=123&lang=ja#top "
           "\x82\xF0\x82\xB2\x97\x97\x82\xAD\x82\xBE\x82\xB3\x82\xA2\r\n";
      placed = true;
      continue;
    }
    if (i % n == 0) s += more;
    s += body[i++ % n];
    s += "\r\n";
  }
  return s;
}

// The codes of the characters code page 932 cannot hold in the "foreign"
// case.
ixo::ForeignTable& ForeignCodes() {
  static ixo::ForeignTable table;
  return table;
}

// Titles a browser keeps whole (accents, an emoji, simplified Chinese,
// Korean) as the core carries them.
const string& ForeignLines() {
  static const string lines = ixo::ToCoreText(
      u"Caf\u00E9 \U0001F370 \u2013 Menu \u00ABbest\u00BB\r\n"
      u"\u4E2D\u56FD\u65B0\u95FB\u7F51 \uD55C\uAD6D\uC5B4\r\n"
      u"\u00DCn\u00EFc\u00F6d\u00E9 \u2713 \u7B2C2\u7248\r\n",
      ForeignCodes());
  return lines;
}

string MakeCase(const string& name, size_t bytes) {
  const string tail = "\r\nhttp://example.com/\r\n";
  if (name == "webpage") return WebPage(bytes, true);
  if (name == "noaddress") return WebPage(bytes, false);
  if (name == "https") return WebPage(bytes, true, "https");
  if (name == "foreign") return WebPage(bytes, true, "http", ForeignLines());
  if (name == "star") return Repeat("\x81\x9A", bytes - tail.size()) + tail;
  if (name == "dashes") return Repeat("--", bytes - tail.size()) + tail;
  if (name == "zspace") return Repeat("\x81\x40", bytes - tail.size()) + tail;
  if (name == "hyou") return Repeat("\x95\x5C", bytes - tail.size()) + tail;
  return string();
}

const string& CaseText(const string& name, size_t bytes) {
  static std::map<std::pair<string, size_t>, string> cache;
  string& s = cache[{name, bytes}];
  if (s.empty()) s = MakeCase(name, bytes);
  return s;
}

// Each timed iteration starts with the core's private caches (2 MB of L2
// here) holding other data, so that a 1 MB text is not cache-hot while a
// 16 MB one is not: the 16 MB / 1 MB ratio then measures how the work grows,
// not the size of the L2 cache. IXO_BENCH_WARM=1 in the environment leaves
// the caches alone.
void Evict(benchmark::State& state) {
  static const bool warm = [] {
    const char* v = std::getenv("IXO_BENCH_WARM");
    return v != nullptr && *v != '\0' && *v != '0';
  }();
  if (warm) return;
  static std::vector<char> buffer(8u << 20, 1);
  state.PauseTiming();
  for (size_t i = 0; i < buffer.size(); i += 64) buffer[i] = static_cast<char>(buffer[i] + 1);
  benchmark::DoNotOptimize(buffer.data());
  state.ResumeTiming();
}

const ixo::LineList& CaseLines(const string& name, size_t bytes) {
  static std::map<std::pair<string, size_t>, ixo::LineList> cache;
  auto it = cache.find({name, bytes});
  if (it == cache.end())
    it = cache.emplace(std::make_pair(name, bytes), ixo::LineList(CaseText(name, bytes))).first;
  return it->second;
}

// ExtractURL on the clipboard text already split into lines, as chclip hands
// it over.
void Extract(benchmark::State& state, const string& name, size_t bytes, bool oracle) {
  const string& text = CaseText(name, bytes);
  const ixo::LineList& lines = CaseLines(name, bytes);
  const ixo::LineList del(kDel);
  const bool https = name == "https";
  // Finding no address would measure a scan of the whole text instead.
  if (https && ixo::ExtractURL(kExtra, del, lines, true).URL.rfind("https://", 0) != 0) {
    state.SkipWithError("the https case finds no https address");
    return;
  }
  for (auto _ : state) {
    Evict(state);
    const ixo::TURLRecord rec = oracle ? ixo::oracle::ExtractURL(kExtra, del, lines, https)
                                       : ixo::ExtractURL(kExtra, del, lines, https);
    benchmark::DoNotOptimize(rec.Title.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

void Memchr(benchmark::State& state, const string& name, size_t bytes) {
  const string& text = CaseText(name, bytes);
  for (auto _ : state) {
    Evict(state);
    const void* p = std::memchr(text.data(), 0, text.size());  // no zero byte: one full pass
    benchmark::DoNotOptimize(p);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

// Splitting the clipboard text into lines.
void SetText(benchmark::State& state, const string& name, size_t bytes) {
  const string& text = CaseText(name, bytes);
  for (auto _ : state) {
    Evict(state);
    const ixo::LineList lines(text);
    benchmark::DoNotOptimize(lines.Lines().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}

// The case as the clipboard gives it, in UTF-16.
const std::u16string& UnicodeText(const string& name, size_t bytes) {
  static std::map<std::pair<string, size_t>, std::u16string> cache;
  std::u16string& text = cache[{name, bytes}];
  if (!text.empty()) return text;
  if (name == "hangul") {
    for (char16_t c = 0xAC00; text.size() < bytes / 2; c = c == 0xD7A3 ? 0xAC00 : c + 1) {
      text += text.size() % 40 == 39 ? u'\n' : c;
    }
  } else {
    text = ixo::FromCoreText(CaseText(name, bytes), ForeignCodes());
  }
  return text;
}

// Each run makes a table of its own, as each clipboard text gets one.
void ToCore(benchmark::State& state, const string& name, size_t bytes) {
  const std::u16string& text = UnicodeText(name, bytes);
  for (auto _ : state) {
    Evict(state);
    ixo::ForeignTable table;
    const string core = ixo::ToCoreText(text, table);
    benchmark::DoNotOptimize(core.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

void FromCore(benchmark::State& state, const string& name, size_t bytes) {
  ixo::ForeignTable table;
  const string core = ixo::ToCoreText(UnicodeText(name, bytes), table);
  for (auto _ : state) {
    Evict(state);
    const std::u16string text = ixo::FromCoreText(core, table);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// Repetitions and the minimum time come from the command line (defaults in
// main), so that the names stay BM_<what>/<case>/<bytes>.
benchmark::internal::Benchmark* Setup(benchmark::internal::Benchmark* b) {
  return b->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Min);
}

int Register() {
  const char* const cases[] = {"webpage", "noaddress", "star",  "dashes",
                               "zspace",  "hyou",      "https", "foreign"};
  const size_t sizes[] = {1u << 20, 16u << 20};
  for (const char* c : cases) {
    for (const size_t b : sizes) {
      const string suffix = string(c) + "/" + std::to_string(b);
      Setup(benchmark::RegisterBenchmark(("BM_Extract/" + suffix).c_str(),
                                         [=](benchmark::State& s) { Extract(s, c, b, false); }));
      Setup(benchmark::RegisterBenchmark(("BM_Memchr/" + suffix).c_str(),
                                         [=](benchmark::State& s) { Memchr(s, c, b); }));
    }
  }
  // The step-by-step algorithms are quadratic on the deleted-away lines: one
  // iteration each, against the real routines on the same 256 KB.
  for (const char* c : {"star", "dashes", "zspace"}) {
    const size_t b = 256u << 10;
    const string suffix = string(c) + "/" + std::to_string(b);
    Setup(benchmark::RegisterBenchmark(("BM_Extract/" + suffix).c_str(),
                                       [=](benchmark::State& s) { Extract(s, c, b, false); }));
    // Each run takes longer than the minimum time: one iteration.
    Setup(benchmark::RegisterBenchmark(("BM_ExtractOracle/" + suffix).c_str(),
                                       [=](benchmark::State& s) { Extract(s, c, b, true); }));
  }
  for (const char* c : {"webpage", "foreign", "hangul"}) {
    for (const size_t b : sizes) {
      const string suffix = string(c) + "/" + std::to_string(b);
      Setup(benchmark::RegisterBenchmark(("BM_ToCoreText/" + suffix).c_str(),
                                         [=](benchmark::State& s) { ToCore(s, c, b); }));
      if (string(c) == "hangul") continue;
      Setup(benchmark::RegisterBenchmark(("BM_FromCoreText/" + suffix).c_str(),
                                         [=](benchmark::State& s) { FromCore(s, c, b); }));
    }
  }
  // Splitting into lines, up to the 50 MB the line list must handle.
  for (const size_t b : {size_t{1} << 20, size_t{16} << 20, size_t{50} << 20}) {
    Setup(benchmark::RegisterBenchmark(("BM_SetText/webpage/" + std::to_string(b)).c_str(),
                                       [=](benchmark::State& s) { SetText(s, "webpage", b); }));
  }
  return 0;
}

const int registered = Register();

}  // namespace

// The machine may be shared with other work: by default every benchmark runs
// five times, interleaved with the others, and the JSON holds the aggregates, "min" among them,
// which tools/bench_report.py reads. Flags given on the command line come later and win.
int main(int argc, char** argv) {
  std::vector<char*> args;
  args.push_back(argv[0]);
  static char reps[] = "--benchmark_repetitions=5";
  static char minTime[] = "--benchmark_min_time=0.2";
  static char aggregates[] = "--benchmark_report_aggregates_only=true";
  // Repetitions of different benchmarks in random order, so that a spell of
  // load from elsewhere spoils some runs of several benchmarks rather than
  // all runs of one.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.push_back(reps);
  args.push_back(minTime);
  args.push_back(aggregates);
  args.push_back(interleave);
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  int n = static_cast<int>(args.size());
  benchmark::Initialize(&n, args.data());
  if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
