// Timing of reading whole documents: the element tree, and the tree mapped onto the records.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "input/read_xml_file.h"
#include "model/record_store.h"
#include "model/run_context.h"
#include "xml/xml_reader.h"

namespace zevo {
namespace {

// A document of `lcs` load centres, each with two conditions, chained by cables. Nothing stands
// between the top-level elements: white space there is the root's text, which is limited in size.
std::string make_document(int lcs) {
  std::string text = "<zevo>";
  for (int i = 0; i < lcs; ++i) {
    const std::string name = "LC" + std::to_string(i);
    text += "<lc><name>" + name + "</name>";
    text += "<condition><name>normal</name><generation>10</generation><load>4</load></condition>";
    text += "<condition><name>peak</name><generation>0</generation><load>9.5</load></condition>";
    text += "</lc>";
    if (i > 0) {
      text += "<cable><name>C" + std::to_string(i) + "</name><lc>LC" + std::to_string(i - 1) +
              "</lc><lc>" + name + "</lc></cable>";
    }
  }
  text += "<output><condition>normal</condition><condition>peak</condition></output></zevo>";
  return text;
}

void BM_ReadElementTree(benchmark::State& state) {
  std::string text = make_document(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    FILE* stream = fmemopen(text.data(), text.size(), "r");
    int errflag = 0;
    benchmark::DoNotOptimize(readfile_XMLENTITY(stream, &errflag));
    std::fclose(stream);
    state.PauseTiming();
    release_all_records();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadElementTree)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ReadDocumentIntoRecords(benchmark::State& state) {
  std::string text = make_document(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ZEVO_CONTEXT context;
    zevo_init(&context);
    context.xin = fmemopen(text.data(), text.size(), "r");
    read_xml_file(&context);
    benchmark::DoNotOptimize(context.nodes);
    state.PauseTiming();
    release_all_records();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ReadDocumentIntoRecords)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace zevo
