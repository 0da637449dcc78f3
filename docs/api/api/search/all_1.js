var searchData=
[
  ['a_20lit_2c_20animated_20scene_0',['A lit, animated scene',['../host.html',1,'']]]
];
