`timescale 1ns/1ps
/* block */ module \odd[1] (p); input p; reg r; $display; 8'hFF 3.5e-2 "s\"t"
endmodule
