#include "report/print_zevo_input.h"

#include "model/messages.h"
#include "report/print_network_echo.h"
#include "report/quoted_text.h"

namespace zevo {
namespace {

void print_conditions(FILE* stream, const CONDITION* conditions) {
  for (const CONDITION* condition = conditions; condition; condition = condition->next) {
    const QuotedText name = quoted(condition->name);
    std::fprintf(stream, "name , %s%s%s , generation , %8.1f , load , %8.1f\n", name.open,
                 name.text, name.close, condition->generation, condition->load);
  }
}

void print_file_names(FILE* stream, const ZEVO_CONTEXT& context) {
  const QuotedText xmlfile = quoted(context.xmlfile);
  std::fprintf(stream, "xmlfile , %s%s%s\n", xmlfile.open, xmlfile.text, xmlfile.close);
  const QuotedText outfile = quoted(context.outfile);
  std::fprintf(stream, "outfile , %s%s%s\n", outfile.open, outfile.text, outfile.close);
}

// Every node is followed by an empty line, also one without conditions.
void print_nodes(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "nbr_nodes , %d\n", context.nbr_nodes);
  for (const NODE* node = context.nodes; node; node = node->next) {
    const QuotedText name = quoted(node->name);
    std::fprintf(stream, "node , %s%s%s \n", name.open, name.text, name.close);
    print_conditions(stream, node->conditions);
    std::fprintf(stream, "\n");
  }
}

void print_connections(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "nbr_connections , %d\n", context.nbr_connections);
  for (const CONNECTION* cable = context.connections; cable; cable = cable->next) {
    const QuotedText name = quoted(cable->name);
    const QuotedText lc1 = quoted(cable->lc1);
    const QuotedText lc2 = quoted(cable->lc2);
    std::fprintf(stream, "name , %s%s%s , n1 , %s%s%s , n2 , %s%s%s\n", name.open, name.text,
                 name.close, lc1.open, lc1.text, lc1.close, lc2.open, lc2.text, lc2.close);
  }
}

// Unlike a node, a bus transfer gets no empty line after its conditions.
void print_bus_transfers(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "nbr_bustransfer , %d\n", context.nbr_bustransfers);
  for (const BUS_TRANSFER* transfer = context.bustransfers; transfer; transfer = transfer->next) {
    const QuotedText name = quoted(transfer->name);
    std::fprintf(stream, " bustransfer , %s%s%s \n", name.open, name.text, name.close);
    print_conditions(stream, transfer->conditions);
  }
}

void print_calc_conditions(FILE* stream, const ZEVO_CONTEXT& context) {
  std::fprintf(stream, "\ncalc_conditions\n");
  for (const CALC_CONDITION* condition = context.calc_conditions; condition;
       condition = condition->next) {
    const QuotedText name = quoted(condition->name);
    std::fprintf(stream, " , %s%s%s\n", name.open, name.text, name.close);
  }
}

}  // namespace

int print_zevo_input(FILE* stream, const ZEVO_CONTEXT* context) {
  if (!context) exit_with_message(Stream::out, " *** ERROR: NULL Pointer in print_zevo_input\n");
  if (!stream) stream = out_stream();

  print_report_header(stream);
  print_file_names(stream, *context);
  std::fprintf(stream, "debug , %d\n", context->debug);
  print_nodes(stream, *context);
  print_connections(stream, *context);
  print_bus_transfers(stream, *context);
  print_calc_conditions(stream, *context);
  // zevo_init always gives the context a network; without one the echo shows an empty one.
  static const NETWORK kEmptyNetwork{};
  print_network_echo(stream, context->nw ? *context->nw : kEmptyNetwork);
  return std::fflush(stream);
}

}  // namespace zevo
