// ports joined by assignments and constants
module m(a, b, y, z); input a, b; output y; output z;
  wire x; assign x = a; assign y = x; assign z = 1'b1;
  and g1 (y, a, b);
endmodule
