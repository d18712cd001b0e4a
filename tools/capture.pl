#!/usr/bin/perl
# Records a rectangle of an X display's root window at a steady rate, speaking the X
# protocol itself: one connection and one GetImage per frame keep up with 20 frames a
# second where starting a screenshot program per frame does not. Each frame is written raw
# (BGRx, 4 bytes a pixel) to DIR/fNNN.bgrx, and DIR/times lists each file with the
# millisecond it was taken at, counted from the first.
# Usage: capture.pl DISPLAY WIDTHxHEIGHT+X+Y SECONDS FPS DIR
use strict;
use warnings;
use IO::Socket::UNIX;
use Time::HiRes qw(time sleep);

my ($display, $geometry, $seconds, $fps, $dir) = @ARGV;
die "usage: capture.pl DISPLAY WxH+X+Y SECONDS FPS DIR\n" unless defined $dir;
my ($number) = $display =~ /^:(\d+)/ or die "display $display is not local\n";
my ($w, $h, $x, $y) = $geometry =~ /^(\d+)x(\d+)\+(\d+)\+(\d+)$/ or die "bad geometry $geometry\n";

my $x11 = IO::Socket::UNIX->new(Peer => "/tmp/.X11-unix/X$number")
    or die "cannot connect to $display: $!\n";

sub lire {
    my ($n) = @_;
    my $data = '';
    while (length($data) < $n) {
        my $got = sysread($x11, $data, $n - length($data), length($data));
        die "X connection closed\n" unless $got;
    }
    return $data;
}

# Connection set-up, little-endian, no authorisation (a local Xvfb of our own).
syswrite($x11, pack('a1 x v v v v x2', 'l', 11, 0, 0, 0));
my ($ok, undef, undef, undef, $extra) = unpack('C C v v v', lire(8));
my $setup = lire($extra * 4);
die "X server refused the connection\n" unless $ok == 1;
my ($vendor_len, undef, undef, $nformats) = unpack('x16 v v C C', $setup);
my $screen = 32 + (($vendor_len + 3) & ~3) + 8 * $nformats;
my ($root) = unpack('V', substr($setup, $screen, 4));

open(my $times, '>', "$dir/times") or die "$dir/times: $!\n";
my $start = time;
my $frames = int($seconds * $fps + 0.5);
for my $i (0 .. $frames - 1) {
    my $wait = $start + $i / $fps - time;
    sleep($wait) if $wait > 0;
    my $taken = time;
    # GetImage, ZPixmap, all planes.
    syswrite($x11, pack('C C v V s< s< v v V', 73, 2, 5, $root, $x, $y, $w, $h, 0xffffffff));
    my $reply = lire(32);
    die "GetImage failed (X error " . unpack('x C', $reply) . ")\n" unless unpack('C', $reply) == 1;
    my $pixels = lire(unpack('x4 V', $reply) * 4);
    my $name = sprintf('f%03d.bgrx', $i);
    open(my $out, '>:raw', "$dir/$name") or die "$dir/$name: $!\n";
    print $out $pixels;
    close($out);
    printf $times "%s %d\n", $name, ($taken - $start) * 1000 + 0.5;
}
close($times);
