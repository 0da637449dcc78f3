var searchData=
[
  ['console_0',['Console',['../group__console.html',1,'']]],
  ['core_1',['Core',['../group__core.html',1,'']]]
];
