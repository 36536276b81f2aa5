// An out-of-order superscalar core as a structural netlist, for Osvo's default
// input format "v". The top module cpu holds four sub-modules (the front end,
// the integer core, the floating-point core and the memory system), the
// reorder buffer and a feed-through on the flush line. The leaf modules have
// ports only: the floorplanner sees them as blocks whose versions (area,
// delay, latency, pin times) come from the cell library cpu.lib.
//
// Every signal has exactly one driver (a block output or a chip input), and
// every loop of the machine passes through a sequential block, as static
// timing requires. The clock reaches every block on the net named clock,
// which the floorplanner leaves out.

// ---- front-end blocks -----------------------------------------------------
module fetch(target, redirect, stall, flush, pc, clock);
  input [31:0] target, redirect;  // predicted and resolved next PC
  input stall, flush;
  output [31:0] pc;
  input clock;
endmodule

module bpred(pc, resolve, target, clock);
  input [31:0] pc, resolve;
  output [31:0] target;
  input clock;
endmodule

module icache(pc, fill, inst, miss, clock);
  input [31:0] pc;
  input [63:0] fill;
  output [31:0] inst, miss;
  input clock;
endmodule

module decode(inst, valid, uop);
  input [31:0] inst;
  input valid;
  output [31:0] uop;
endmodule

// A gate: fetch stalls unless both the issue queue and the reorder buffer
// have room (stall = NAND of their ready signals).
module nand(y, a, b);
  output y;
  input a, b;
endmodule

module rename(uop, free, rop, clock);
  input [31:0] uop;
  input [6:0] free;   // tags the reorder buffer frees at commit
  output [31:0] rop;  // renamed micro-op
  input clock;
endmodule

// ---- integer and floating-point blocks --------------------------------------
module iq(op, wake0, wake1, issue, ready, clock);
  input [31:0] op;
  input [63:0] wake0, wake1;  // results that wake waiting micro-ops
  output [31:0] issue;
  output ready;  // room for more micro-ops
  input clock;
endmodule

module regfile(raddr, wd0, wd1, wd2, wd3, ra, rb, clock);
  input [31:0] raddr;
  input [63:0] wd0, wd1, wd2, wd3;  // four write ports
  output [63:0] ra, rb;             // two operand ports
  input clock;
endmodule

module alu(a, b, y);
  input [63:0] a, b;
  output [63:0] y;
endmodule

module mul(a, b, p, clock);
  input [63:0] a, b;
  output [63:0] p;
  input clock;
endmodule

module branch(a, b, target);
  input [63:0] a, b;
  output [31:0] target;
endmodule

module fpadd(a, b, s, clock);
  input [63:0] a, b;
  output [63:0] s;
  input clock;
endmodule

module fpmul(a, b, p, clock);
  input [63:0] a, b;
  output [63:0] p;
  input clock;
endmodule

// ---- memory blocks -----------------------------------------------------------
module agu(a, addr);
  input [63:0] a;
  output [31:0] addr;
endmodule

module dtlb(vaddr, en, paddr, clock);
  input [31:0] vaddr;
  input en;
  output [31:0] paddr;
  input clock;
endmodule

module lsq(op, addr, data, req, clock);
  input [31:0] op, addr;
  input [63:0] data;
  output [63:0] req;
  input clock;
endmodule

module dcache(req, paddr, fill, data, miss, clock);
  input [63:0] req;
  input [31:0] paddr;
  input [63:0] fill;
  output [63:0] data;
  output [31:0] miss;
  input clock;
endmodule

module l2(imiss, dmiss, mem_in, fill, mem_out, clock);
  input [31:0] imiss, dmiss;
  input [63:0] mem_in;
  output [63:0] fill, mem_out;
  input clock;
endmodule

// ---- reorder buffer and the flush feed-through -------------------------------
module rob(rop, done0, done1, done2, irq, free, ready, flush, halt, clock);
  input [31:0] rop;
  input [63:0] done0, done1, done2;  // completed results
  input irq;
  output [6:0] free;
  output ready, flush, halt;
  input clock;
endmodule

// A buffer on a long wire: no block of its own. The special masters file
// (cpu.special) names it, so it is dissolved and its two sides become one net.
module feed(i, o);
  input i;
  output o;
  assign o = i;
endmodule

// ---- the four sub-modules -----------------------------------------------------
module frontend(redirect, fill, iq_ready, rob_ready, flush, free, miss, rop, clock);
  input [31:0] redirect;
  input [63:0] fill;
  input iq_ready, rob_ready, flush;
  input [6:0] free;
  output [31:0] miss, rop;
  input clock;
  wire [31:0] pc, target, inst, uop;
  wire stall;
  fetch pcgen(.target(target), .redirect(redirect), .stall(stall), .flush(flush), .pc(pc),
              .clock(clock));
  bpred bp(pc, redirect, target, clock);
  icache ic(.pc(pc), .fill(fill), .inst(inst), .miss(miss), .clock(clock));
  decode dec(.inst(inst), .valid(1'b1), .uop(uop));
  nand hold(stall, iq_ready, rob_ready);
  rename ren(uop, free, rop, clock);
endmodule

module intcore(rop, load, base, data, result0, result1, redirect, ready, clock);
  input [31:0] rop;
  input [63:0] load;
  output [63:0] base, data, result0, result1;
  output [31:0] redirect;
  output ready;
  input clock;
  wire [31:0] issue;
  wire [63:0] product;
  iq q(rop, result0, result1, issue, ready, clock);
  regfile rf(.raddr(issue), .wd0(result0), .wd1(result1), .wd2(product), .wd3(load),
             .ra(base), .rb(data), .clock(clock));
  alu alu0(base, data, result0);
  alu alu1(base, data, result1);
  mul mu(.a(base), .b(data), .p(product), .clock(clock));
  branch br(.a(base), .b(data), .target(redirect));
endmodule

module fpcore(rop, load, result, clock);
  input [31:0] rop;
  input [63:0] load;
  output [63:0] result;
  input clock;
  wire [31:0] issue;
  wire [63:0] fa, fb, product;
  iq q(.op(rop), .wake0(result), .wake1(product), .issue(issue), .clock(clock));
  regfile rf(.raddr(issue), .wd0(result), .wd1(product), .wd2(load), .ra(fa), .rb(fb),
             .clock(clock));
  fpadd add(fa, fb, result, clock);
  fpmul mult(fa, fb, product, clock);
endmodule

module memsys(rop, base, data, imiss, mem_in, load, fill, mem_out, clock);
  input [31:0] rop, imiss;
  input [63:0] base, data, mem_in;
  output [63:0] load, fill, mem_out;
  input clock;
  wire [31:0] vaddr, paddr, dmiss;
  wire [63:0] req;
  agu ag(.a(base), .addr(vaddr));
  dtlb tlb(.vaddr(vaddr), .en(1'b1), .paddr(paddr), .clock(clock));
  lsq lq(rop, vaddr, data, req, clock);
  dcache dc(.req(req), .paddr(paddr), .fill(fill), .data(load), .miss(dmiss), .clock(clock));
  l2 l2(.imiss(imiss), .dmiss(dmiss), .mem_in(mem_in), .fill(fill), .mem_out(mem_out),
        .clock(clock));
endmodule

// ---- the core ----------------------------------------------------------------------
module cpu(clock, irq, mem_in, mem_out, halted);
  input clock, irq;
  input [63:0] mem_in;
  output [63:0] mem_out;
  output halted;
  wire [31:0] redirect, miss, rop;
  wire [63:0] fill, load, base, data, result0, result1, fresult;
  wire [6:0] free;
  wire iq_ready, rob_ready, flush, flush_fe;
  frontend fe(.redirect(redirect), .fill(fill), .iq_ready(iq_ready), .rob_ready(rob_ready),
              .flush(flush_fe), .free(free), .miss(miss), .rop(rop), .clock(clock));
  intcore ic(rop, load, base, data, result0, result1, redirect, iq_ready, clock);
  fpcore fc(.rop(rop), .load(load), .result(fresult), .clock(clock));
  memsys ms(.rop(rop), .base(base), .data(data), .imiss(miss), .mem_in(mem_in), .load(load),
            .fill(fill), .mem_out(mem_out), .clock(clock));
  rob rob(.rop(rop), .done0(result0), .done1(result1), .done2(fresult), .irq(irq),
          .free(free), .ready(rob_ready), .flush(flush), .halt(halted), .clock(clock));
  feed flush_buffer(.i(flush), .o(flush_fe));
endmodule
