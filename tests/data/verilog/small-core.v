// A small out-of-order core as a structural netlist (test data): the top
// module cpu holds a front end and a back end; each holds the processor's
// blocks. The blocks are leaf modules (ports only); their sizes and delays come
// from a cell library (small-core.lib), one cell per block of the flattened
// design.

// ---- blocks -------------------------------------------------------------------
module icache(pc, inst, clk);
  input [31:0] pc;
  output [31:0] inst;
  input clk;
endmodule

module fetch(redirect, pc, clk);
  input [31:0] redirect;
  output [31:0] pc;
  input clk;
endmodule

module decode(inst, uop, valid, clk);
  input [31:0] inst;
  output [31:0] uop;
  input valid, clk;
endmodule

module rename(uop, tag, clk);
  input [31:0] uop;
  output [31:0] tag;
  input clk;
endmodule

module iq(tag, wake, issue, clk);
  input [31:0] tag, wake;
  output [31:0] issue;
  input clk;
endmodule

module regfile(raddr, waddr, wdata, rdata, clk);
  input [31:0] raddr, waddr, wdata;
  output [31:0] rdata;
  input clk;
endmodule

module alu(a, y, clk);
  input [31:0] a;
  output [31:0] y;
  input clk;
endmodule

module lsu(addr, data, clk);
  input [31:0] addr;
  output [31:0] data;
  input clk;
endmodule

module rob(result, commit, flush, clk);
  input [31:0] result;
  output [31:0] commit;
  output flush;
  input clk;
endmodule

// ---- the two halves ---------------------------------------------------------------
module frontend(redirect, uop, clk);
  input [31:0] redirect;
  output [31:0] uop;
  input clk;
  wire [31:0] pc, inst;
  fetch f(.redirect(redirect), .pc(pc), .clk(clk));
  icache ic(pc, inst, clk);
  decode dec(.inst(inst), .uop(uop), .valid(1'b1), .clk(clk));
endmodule

module backend(uop, commit, flush, clk);
  input [31:0] uop;
  output [31:0] commit;
  output flush;
  input clk;
  wire [31:0] tag, issue, operand, result, loaded;
  rename ren(uop, tag, clk);
  iq q(.tag(tag), .wake(result), .issue(issue), .clk(clk));
  regfile rf(.raddr(issue), .waddr(tag), .wdata(result), .rdata(operand), .clk(clk));
  alu ex(operand, result, clk);
  lsu mem(.addr({operand[31:16], operand[15:0]}), .data(loaded), .clk(clk));
  rob r(.result(loaded), .commit(commit), .flush(flush), .clk(clk));
endmodule

// ---- top ------------------------------------------------------------------------
module cpu(clk, retired, flush);
  input clk;
  output [31:0] retired;
  output flush;
  wire [31:0] uop;
  frontend fe(.redirect(retired), .uop(uop), .clk(clk));
  backend be(uop, retired, flush, clk);
endmodule
